// Conversions between the form's values and Qt's.
#pragma once

#include <QColor>
#include <QString>
#include <string>

#include "form/control.h"

namespace varno {

// The view turns twips into pixels at 1440 twips per inch and 96 logical pixels per inch.
constexpr double kTwipsPerPixel = 15;

// A colour red + 256 * green + 65536 * blue.
inline QColor toQColor(Color value) {
  return QColor(value & 0xff, (value >> 8) & 0xff, (value >> 16) & 0xff);
}

inline QString toQString(const std::string& utf8) {
  return QString::fromStdString(utf8);
}

}  // namespace varno
