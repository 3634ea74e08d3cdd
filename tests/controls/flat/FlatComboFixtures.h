#pragma once

// The main window's exercise selector, configured the way its layout does;
// shared by the gallery and the benchmark.

#include "controls/flat/TFlatComboBoxUnit.h"

#include "platform/graphics/Font.h"

#include <QString>

namespace flat_fixtures {

inline void ConfigureSelector(TFlatComboBox& combo)
{
    combo.SetBounds(16, 8, 191, 23);
    combo.SetStyle(csDropDownList);
    combo.SetColor(clWindow);
    combo.Font().SetName(QStringLiteral("Times New Roman"));
    combo.Font().SetHeight(-12);
    combo.Font().SetCharset(RUSSIAN_CHARSET);
    combo.SetItemHeight(15);
    combo.SetItems({QStringLiteral("Упражнение \"ноты\""), QStringLiteral("Упражнение \"интервалы\"")});
}

}  // namespace flat_fixtures
