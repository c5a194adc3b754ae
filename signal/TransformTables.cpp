#include "TransformTables.h"

#include <cmath>

void BuildSpectrumTables(TransformTables& t) {
    for (int i = 0; i < 500; ++i) {
        const long double a = i * 6.283L / 500;
        t.CosTable[i] = float(std::cos(a));
        t.SinTable[i] = float(std::sin(a));
    }
}
