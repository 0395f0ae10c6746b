#include "document/Formula.h"

#include <muParser.h>

#include <cmath>

namespace {

double Add(double a, double b) {
    return a + b;
}
double Subtract(double a, double b) {
    return a - b;
}
double Multiply(double a, double b) {
    return a * b;
}
double Divide(double a, double b) {
    return a / b;
}
double Power(double a, double b) {
    return std::pow(a, b);
}
double Negate(double a) {
    return -a;
}
double Identity(double a) {
    return a;
}
double Abs(double a) {
    return std::fabs(a);
}
double ArcTan(double a) {
    return std::atan(a);
}
double Cos(double a) {
    return std::cos(a);
}
double Exp(double a) {
    return std::exp(a);
}
double Frac(double a) {
    return a - std::trunc(a);
}
double Trunc(double a) {
    return std::trunc(a);
}
double Ln(double a) {
    return std::log(a);
}
double Round(double a) {
    return std::round(a);
} // halves away from zero
double Sin(double a) {
    return std::sin(a);
}
double Square(double a) {
    return a * a;
}
double Sqrt(double a) {
    return std::sqrt(a);
}

// A parser that knows exactly the operators and functions of field formulas.
class TFormulaParser : public mu::Parser {
public:
    TFormulaParser() {
        ClearFun();
        ClearConst();
        ClearPostfixOprt();
        ClearInfixOprt();
        ClearOprt();
        EnableBuiltInOprt(false);
        DefineOprt("+", Add, mu::prADD_SUB);
        DefineOprt("-", Subtract, mu::prADD_SUB);
        DefineOprt("*", Multiply, mu::prMUL_DIV);
        DefineOprt("/", Divide, mu::prMUL_DIV);
        DefineOprt("^", Power, mu::prPOW, mu::oaRIGHT);
        DefineInfixOprt("-", Negate);
        DefineInfixOprt("+", Identity);
        DefineFun("abs", Abs);
        DefineFun("arctan", ArcTan);
        DefineFun("cos", Cos);
        DefineFun("exp", Exp);
        DefineFun("frac", Frac);
        DefineFun("int", Trunc);
        DefineFun("trunc", Trunc);
        DefineFun("ln", Ln);
        DefineFun("round", Round);
        DefineFun("sin", Sin);
        DefineFun("sqr", Square);
        DefineFun("sqrt", Sqrt);
        DefineConst("pi", M_PI);
    }
};

} // namespace

std::optional<double> EvaluateFormula(const QString& expression) {
    // "pi()" is written as in the old formulas; the parser knows pi as a constant.
    QString text = expression.toLower();
    text.replace(QStringLiteral("pi()"), QStringLiteral("pi"));
    if (text.trimmed().isEmpty()) return std::nullopt;
    try {
        TFormulaParser parser;
        parser.SetExpr(text.toStdString());
        const double value = parser.Eval();
        if (!std::isfinite(value)) return std::nullopt;
        return value;
    } catch (const mu::Parser::exception_type&) {
        return std::nullopt;
    }
}

QString FormatFixed(double value, int decimals) {
    return QString::asprintf("%0.*f", decimals, value);
}
