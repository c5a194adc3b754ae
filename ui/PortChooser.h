#pragma once
// "Urządzenie dla ComN": the serial devices present, to pick the one a port stands for,
// or any path typed in (a pseudo-terminal, the simulator's link).

#include "SerialDiscovery.h"

#include <QDialog>
#include <functional>
#include <string>
#include <vector>

class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;

class TPortChooser : public QDialog {
  public:
    explicit TPortChooser(QWidget* parent);

    // Opens (window-modal, without blocking) for port n with the device it maps to now.
    void Ask(int port, const std::string& current);
    void Refresh(); // "Odśwież": the list found again

    std::function<std::vector<SerialDevice>()> Discover = [] { return DiscoverSerialDevices(); };
    std::function<void(int port, const std::string& path)> OnChosen;

    // For tests and other windows: the controls by what they do.
    QTreeWidget& DeviceList() const { return *List; }
    QLineEdit& PathField() const { return *Path; } // the device path, chosen or typed
    QPushButton& Ok() const { return *OkButton; }

  protected:
    void accept() override;

  private:
    void RowChosen();

    QTreeWidget* List = nullptr;
    QLabel* NothingFound = nullptr;
    QLineEdit* Path = nullptr;
    QPushButton* OkButton = nullptr;
    int port_ = 1;
};
