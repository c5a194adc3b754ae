#pragma once
// The transform's single-precision sine and cosine tables. The angle step is
// 6.283 / 500, not 2 pi / 500: the stored spectra depend on that constant.

#include <array>

struct TransformTables {
    std::array<float, 500> CosTable{};
    std::array<float, 500> SinTable{};
};

void BuildSpectrumTables(TransformTables& t);
