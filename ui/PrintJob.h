#pragma once
// The print job of "Drukuj": both views, with the captions shown now, on one page.

class QPrinter;
struct ProgramState;

// Prints on a printer the print dialog has set up; throws when the printer fails.
void PrintJob(QPrinter& printer, const ProgramState& state, int labelledTimebase);
