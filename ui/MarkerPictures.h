#pragma once
// Pictures of the marker lines and of the trigger line, with their white
// (markers) or magenta (trigger line) background made transparent.

#include <QColor>
#include <QImage>

inline const QColor MarkerAColor(72, 218, 0);
inline const QColor MarkerBColor(218, 109, 85);

// 10 x 284: a head pointing down in rows 0..9, then a line in column 5, dashed
// 4 on 1 off from row 12 to 264 and solid black from 265 to the bottom.
QImage MarkerLinePicture(QColor color);
// 508 x 3: the middle row dashed 4 on 1 off over columns 0..499, solid black in 502..507.
QImage MarkerLevelPicture(QColor color);
// 500 x 1: blue dashes 3 pixels long with 1-pixel gaps.
QImage TriggerLinePicture();
