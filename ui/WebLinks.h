#pragma once
// Placeholder addresses of the maker and the distributor, opened from the settings dialog.

#include <QString>

inline const QString kMakerUrl = QStringLiteral("https://drganik.example/");
inline const QString kDistributorUrl = QStringLiteral("https://dystrybutor.example/");
