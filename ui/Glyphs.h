#pragma once
// Pictures drawn by the program itself: button glyphs, knob faces and handles.

#include <QImage>

QImage ConnectGlyph();
QImage OpenGlyph();
QImage SaveGlyph();
QImage PrintGlyph();
QImage SettingsGlyph();
QImage FallingEdgeGlyph(); // 19 x 18 on white, which the tool window makes transparent
QImage RisingEdgeGlyph();  // 19 x 18, transparent background

QImage DialFace(int size, int ticks, int firstTickDegrees, int lastTickDegrees); // ring of ticks
QImage KnobBody(int size);                                                       // the knob's face
QImage KnobHandle(int size, bool rim); // grey dot on magenta (0xFF00FF), the key colour
