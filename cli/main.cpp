// drganik-rec: the oscilloscope's acquisition without any window, recording or measuring
// from a shell, and the conversion of recordings. Needs no display: QtCore only.

#include "AcquisitionSession.h"
#include "BlockExport.h"
#include "Convert.h"
#include "Messages.h"
#include "OutputFormat.h"
#include "ProgramState.h"
#include "RecOptions.h"
#include "Recorder.h"
#include "SettingsFile.h"
#include "SettingsLocation.h"
#include "StopSignals.h"

#include <QCoreApplication>
#include <QStandardPaths>
#include <clocale>
#include <csignal>
#include <iostream>
#include <unistd.h>

namespace {

std::string ProgramDir(const char* argv0) {
    // Before the application exists: the folder of the running binary, as Qt would find it.
    char path[4096];
    const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
    std::string self = n > 0 ? std::string(path, std::size_t(n)) : std::string(argv0);
    const auto slash = self.rfind('/');
    return slash == std::string::npos ? "." : self.substr(0, slash);
}

std::unique_ptr<BlockExport> OpenOutput(const RecOptions& o, int& status) {
    const auto format = OutputFormat(o.output, o.measure);
    if (!format) {
        std::cerr
            << "drganik-rec: "
            << Tr("cannot tell what to write from the name: use .csv, .drgn or .drg (--measure: .csv or -)")
            << "\n";
        status = Recorder::Usage;
        return nullptr;
    }
    if (format == ExportFormat::DataFile && !o.single && o.blocks != 1u) {
        std::cerr << "drganik-rec: " << Tr("a .drg data file holds one block: use --single") << "\n";
        status = Recorder::Usage;
        return nullptr;
    }
    int error = 0;
    auto out = o.output == "-" ? BlockExport::OnDescriptor(STDOUT_FILENO, *format, error)
                               : BlockExport::CreateAtFirstBlock(o.output, *format, error);
    if (!out) {
        std::cerr << "drganik-rec: " << Tr("cannot write: ") << ErrnoText(error) << "\n";
        status = Recorder::DeviceOrFileError;
    }
    return out;
}

int Record(int argc, char** argv, const RecOptions& options, const std::string& programDir) {
    int status = Recorder::Done;
    const auto out = OpenOutput(options, status);
    if (!out)
        return status;
    QCoreApplication app(argc, argv);
    // The same name as the windows' program: the same settings file, found the same way.
    QCoreApplication::setApplicationName(QStringLiteral("Drganik"));
    const auto settingsPath = SettingsFilePath(
        programDir, QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation).toStdString());
    SettingsFile ini(settingsPath, ProgramSettingsFile(programDir));
    ProgramState state(ReadSettings(ini));
    Progress progress(options.quiet);
    Recorder* recorder = nullptr;
    const auto guard = [&recorder](const std::function<void()>& task) {
        try {
            task();
        } catch (const std::exception& e) {
            if (recorder)
                recorder->Failed(e.what());
        }
    };
    AcquisitionSession session(state, ini, guard, options.port);
    Recorder run(options, state, session, *out, progress);
    recorder = &run;
    run.OnEnd = [](int end) { QCoreApplication::exit(end); };
    const StopSignals stopSignals([&run] { run.Interrupt(); });
    QMetaObject::invokeMethod(
        &app, [&] { guard([&] { run.Begin(); }); }, Qt::QueuedConnection);
    return QCoreApplication::exec();
}

} // namespace

int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "");
    const std::string programDir = ProgramDir(argv[0]);
    SetUpMessages(programDir);
    // A reader that goes away (a pipe into head) is a write error, not a killed program.
    std::signal(SIGPIPE, SIG_IGN);
    const RecOptions options = ParseRecOptions({argv + (argc > 0 ? 1 : 0), argv + argc});
    switch (options.action) {
    case RecOptions::Action::Help:
        std::cout << RecHelpText();
        return 0;
    case RecOptions::Action::Version:
        std::cout << RecVersionText();
        return 0;
    case RecOptions::Action::Error:
        std::cerr << "drganik-rec: " << options.error << "\n" << Tr("More: drganik-rec --help") << "\n";
        return Recorder::Usage;
    case RecOptions::Action::Convert:
        return ConvertRecording(options);
    case RecOptions::Action::Record:
        break;
    }
    return Record(argc, argv, options, programDir);
}
