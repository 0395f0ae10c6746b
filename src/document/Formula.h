#pragma once

#include <QString>

#include <optional>

// Arithmetic of field formulas: numbers, + - * / ^, parentheses and the functions abs, arctan,
// cos, exp, frac, int, trunc, ln, pi, round, sin, sqr (the square) and sqrt. Names are not
// case-sensitive. Nothing when the text is not such an expression or the result is not a
// finite number.
std::optional<double> EvaluateFormula(const QString& expression);

// printf's "%0.*f".
QString FormatFixed(double value, int decimals);
