#pragma once
// Where the windows go on the desktop work area. Positions and sizes are outer ones,
// frames included, whatever frame the window system adds; the maths is PlaceWindowPair.h's.

class QWidget;

// Centres the pair side by side, the main window w1 on the left of the tool window w2.
void PlaceWindowPair(QWidget& w1, QWidget& w2);

// Places the pair again whenever a window manager has framed either window since the last
// placement, until both are framed: frames come after the windows are first shown.
void PlaceWindowPairOnceFramed(QWidget& w1, QWidget& w2);

// The main window flush left of the tool window, tops aligned; the tool window stays.
void DockMainWindow(QWidget& w1, const QWidget& w2);

// A dialog's centre on the centre of the work area.
void CentreOnWorkArea(QWidget& dialog);

// A side window clear of the pair (w1 left of w2) where the work area has room for all,
// moving the pair over if it must; see PlaceSideWindow. Its top level with the pair's
// top, or its bottom level with the pair's bottom (never above the work area).
enum class BesideEdge { Top, Bottom };
void PlaceBeside(QWidget& window, QWidget& w1, QWidget& w2, BesideEdge edge);
