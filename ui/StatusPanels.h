#pragma once
// The main window's status panels, in their order on the bar.

enum class StatusPanel {
    VoltsCaption, // "V/dz:"
    Volts,
    TimeCaption, // "T/dz:"
    TimeBase,
    Trigger,
    LevelCaption, // "Poziom:"
    Level,
    StatusCaption, // "Status:"
    StatusBox,
    Port,
    Maker,
};
