#include "objects/BarCodeSymbols.h"

#include "objects/BarCodeCode128Sets.h"

#include <algorithm>

namespace {

using namespace BarElement;

// UPC and EAN digit patterns, one character per module ('1' dark). R is the complement of
// L and G the mirror image of R, so only L is tabulated.
const char* const LCodes[10] = {"0001101", "0011001", "0010011", "0111101", "0100011",
                                "0110001", "0101111", "0111011", "0110111", "0001011"};
// Parity of the left half of EAN-13 by the first digit ('G' even, 'L' odd).
const char* const Ean13Parity[10] = {"LLLLLL", "LLGLGG", "LLGGLG", "LLGGGL", "LGLLGG",
                                     "LGGLLG", "LGGGLL", "LGLGLG", "LGLGGL", "LGGLGL"};
const char* const Ean5Parity[10] = {"GGLLL", "GLGLL", "GLLGL", "GLLLG", "LGGLL",
                                    "LLGGL", "LLLGG", "LGLGL", "LGLLG", "LLGLG"};

// Two wide of five: the wide elements of a digit in Interleaved 2 of 5, and the bars of
// the Code 39 characters of the same value ('0' is value 10).
const char* const TwoOfFive[10] = {"00110", "10001", "01001", "11000", "00101",
                                   "10100", "01100", "00011", "10010", "01010"};

// Code 128 bar and space widths in modules, values 0 to 105, then the stop pattern.
const char* const Code128Widths[107] = {
    "212222", "222122", "222221", "121223", "121322", "131222", "122213", "122312", "132212",
    "221213", "221312", "231212", "112232", "122132", "122231", "113222", "123122", "123221",
    "223211", "221132", "221231", "213212", "223112", "312131", "311222", "321122", "321221",
    "312212", "322112", "322211", "212123", "212321", "232121", "111323", "131123", "131321",
    "112313", "132113", "132311", "211313", "231113", "231311", "112133", "112331", "132131",
    "113123", "113321", "133121", "313121", "211331", "231131", "213113", "213311", "213131",
    "311123", "311321", "331121", "312113", "312311", "332111", "314111", "221411", "431111",
    "111224", "111422", "121124", "121421", "141122", "141221", "112214", "112412", "122114",
    "122411", "142112", "142211", "241211", "221114", "413111", "241112", "134111", "111242",
    "121142", "121241", "114212", "124112", "124211", "411212", "421112", "421211", "212141",
    "214121", "412121", "111143", "111341", "131141", "114113", "114311", "411113", "411311",
    "113141", "114131", "311141", "411131", "211412", "211214", "211232", "2331112"};
constexpr int Code128Stop = 106;
constexpr int StartA = 208, StartB = 209, StartC = 210;

QByteArray Modules(const QByteArray& bits) {
    QByteArray out(bits.size(), NarrowSpace);
    for (int i = 0; i < bits.size(); ++i)
        if (bits[i] == '1') out[i] = NarrowBar;
    return out;
}

QByteArray LeftCode(int digit, char parity) {
    QByteArray bits(LCodes[digit]);
    if (parity == 'G') {
        std::reverse(bits.begin(), bits.end());
        for (char& bit : bits)
            bit = bit == '1' ? '0' : '1';
    }
    return bits;
}

QByteArray RightCode(int digit) {
    QByteArray bits(LCodes[digit]);
    for (char& bit : bits)
        bit = bit == '1' ? '0' : '1';
    return bits;
}

int Digit(const QString& digits, int i) {
    return digits.at(i).unicode() - '0';
}

// The symbol of UPC-A and EAN-13: the left half's parity comes from the first digit.
QByteArray EncodeEan(const QString& digits13) {
    const char* parity = Ean13Parity[Digit(digits13, 0)];
    QByteArray bits("101");
    for (int i = 1; i <= 6; ++i)
        bits += LeftCode(Digit(digits13, i), parity[i - 1]);
    bits += "01010";
    for (int i = 7; i <= 12; ++i)
        bits += RightCode(Digit(digits13, i));
    bits += "101";
    return Modules(bits);
}

// Alternating bar and space elements from a mask of wide elements, bar first.
void AppendWidths(QByteArray& out, const char* wideMask) {
    for (int i = 0; wideMask[i]; ++i) {
        const bool bar = i % 2 == 0;
        const bool wide = wideMask[i] == '1';
        out += bar ? (wide ? WideBar : NarrowBar) : (wide ? WideSpace : NarrowSpace);
    }
}

// Code 39 characters come in four rows of ten that share the bars of the two-of-five values
// and differ in the position of the one wide space; "$/+%" have narrow bars only and three
// wide spaces. False for a character outside the set.
bool Code39Pattern(QChar c, QByteArray& elements) {
    static const QByteArray rows[3] = {"1234567890", "ABCDEFGHIJ", "KLMNOPQRST"};
    static const QByteArray lastRow = "UVWXYZ-. *";
    // Wide space per row: digits the second, A to J the third, K to T the fourth, the rest
    // the first.
    static const char* const spaceMasks[4] = {"0100", "0010", "0001", "1000"};
    const char ch = c.unicode() < 128 ? char(c.unicode()) : 0;
    if (!ch) return false;
    int bars = -1;
    const char* spaces = nullptr;
    for (int row = 0; row < 3 && bars < 0; ++row)
        if (int at = rows[row].indexOf(ch); at >= 0) {
            bars = (at + 1) % 10;
            spaces = spaceMasks[row];
        }
    if (bars < 0)
        if (int at = lastRow.indexOf(ch); at >= 0) {
            bars = (at + 1) % 10;
            spaces = spaceMasks[3];
        }
    if (bars < 0) {
        // Narrow bars only, three wide spaces.
        static const QByteArray specials = "$/+%";
        static const char* const specialSpaces[4] = {"1110", "1101", "1011", "0111"};
        const int at = specials.indexOf(ch);
        if (at < 0) return false;
        spaces = specialSpaces[at];
    }
    char mask[10] = {};
    for (int i = 0; i < 5; ++i)
        mask[2 * i] = bars < 0 ? '0' : TwoOfFive[bars][i];
    for (int i = 0; i < 4; ++i)
        mask[2 * i + 1] = spaces[i];
    AppendWidths(elements, mask);
    return true;
}

} // namespace

int UpcEanCheckDigit(const QString& digits) {
    int sum = 0;
    // The rightmost digit has weight 3.
    for (int i = digits.size() - 1, weight = 3; i >= 0; --i, weight = 4 - weight)
        sum += weight * Digit(digits, i);
    return (10 - sum % 10) % 10;
}

int PostnetCheckDigit(const QString& digits) {
    int sum = 0;
    for (const QChar c : digits)
        if (c.isDigit()) sum += c.unicode() - '0';
    return (10 - sum % 10) % 10;
}

QByteArray EncodeUpcA(const QString& digits) {
    return EncodeEan(QLatin1Char('0') + digits);
}

QByteArray EncodeEan13(const QString& digits) {
    return EncodeEan(digits);
}

QByteArray EncodeEanAddOn(const QString& digits) {
    QByteArray parity;
    if (digits.size() == 2) {
        static const char* const pairs[4] = {"LL", "LG", "GL", "GG"};
        parity = pairs[(Digit(digits, 0) * 10 + Digit(digits, 1)) % 4];
    } else {
        int sum = 0;
        for (int i = 0; i < digits.size(); ++i)
            sum += Digit(digits, i) * (i % 2 == 0 ? 3 : 9);
        parity = Ean5Parity[sum % 10];
    }
    QByteArray bits("1011");
    for (int i = 0; i < digits.size(); ++i) {
        if (i > 0) bits += "01";
        bits += LeftCode(Digit(digits, i), parity[i]);
    }
    return Modules(bits);
}

QByteArray EncodeInterleaved2of5(const QString& digits) {
    QByteArray out("b.b.");
    for (int i = 0; i + 1 < digits.size(); i += 2) {
        const char* bars = TwoOfFive[Digit(digits, i)];
        const char* spaces = TwoOfFive[Digit(digits, i + 1)];
        for (int k = 0; k < 5; ++k) {
            out += bars[k] == '1' ? WideBar : NarrowBar;
            out += spaces[k] == '1' ? WideSpace : NarrowSpace;
        }
    }
    out += "B.b";
    return out;
}

QByteArray EncodeCode39(const QString& text) {
    QByteArray out;
    for (const QChar c : text) {
        if (!Code39Pattern(c, out))
            throw EBarCodeError(QStringLiteral("Code 39 cannot encode \"%1\"").arg(c));
        out += Gap;
    }
    return out;
}

QByteArray EncodePostnet(const QString& digits) {
    // Weights 7 4 2 1 0: each digit has two tall bars; 0 is 7 + 4.
    static const char* const tall[10] = {"11000", "00011", "00101", "00110", "01001",
                                         "01010", "01100", "10001", "10010", "10100"};
    QByteArray out(1, TallBar);
    for (const QChar c : digits) {
        if (!c.isDigit()) continue;
        for (int k = 0; k < 5; ++k) {
            out += PostnetSpace;
            out += tall[c.unicode() - '0'][k] == '1' ? TallBar : ShortBar;
        }
    }
    out += PostnetSpace;
    out += TallBar;
    return out;
}

QList<int> Code128Values(const QString& data) {
    enum TSet { A, B, C };
    const int first = data.isEmpty() ? 0 : data.at(0).unicode();
    if (first < StartA || first > StartC) return Code128ValuesWithChosenSets(data);
    TSet set = TSet(first - StartA);
    QList<int> values{103 + int(set)};
    bool shifted = false; // the previous character was SHIFT
    for (int i = 1; i < data.size(); ++i) {
        const int ch = data.at(i).unicode();
        if (ch >= StartA && ch <= StartC)
            throw EBarCodeError(
                QStringLiteral("You cannot have a START code in the middle of the symbol"));
        if (set == C) {
            if (ch >= '0' && ch <= '9') {
                const int next = i + 1 < data.size() ? data.at(i + 1).unicode() : 0;
                if (next < '0' || next > '9')
                    throw EBarCodeError(
                        QStringLiteral("The CODE C portion must contain an even number of digits"));
                values.append((ch - '0') * 10 + (next - '0'));
                ++i;
            } else if (ch >= 201 && ch <= 204) {
                throw EBarCodeError(
                    QStringLiteral("CODE C does not utilize characters #201 through #204"));
            } else if (ch >= 205 && ch <= 207) {
                values.append(ch - 105); // CODE B 100, CODE A 101, FNC1 102
                if (ch == 205) set = B;
                if (ch == 206) set = A;
            } else {
                throw EBarCodeError(QStringLiteral("The CODE C portion must be numeric"));
            }
            continue;
        }
        // Sets A and B; after SHIFT one character belongs to the other of the two.
        const TSet effective = shifted ? (set == A ? B : A) : set;
        const bool wasShifted = shifted;
        shifted = false;
        if (ch >= 201 && ch <= 207) {
            if (ch == 203) {
                if (wasShifted)
                    throw EBarCodeError(QStringLiteral("You cannot have two shift codes in a row"));
                shifted = true;
            }
            values.append(ch - 105); // FNC3 96 ... FNC1 102
            // CODE B in set B and CODE A in set A are FNC4 and switch nothing.
            if (!wasShifted) {
                if (ch == 204) set = C;
                if (ch == 205 && set == A) set = B;
                if (ch == 206 && set == B) set = A;
            }
        } else if (ch >= 32 && ch <= 95) {
            values.append(ch - 32);
        } else if (ch >= 96 && ch <= 127) {
            if (effective != B)
                throw EBarCodeError(
                    QStringLiteral("Only CODE B can contain the character \"%1\"").arg(QChar(ch)));
            values.append(ch - 32);
        } else if (ch >= 211 && ch <= 242) {
            if (effective != A)
                throw EBarCodeError(
                    QStringLiteral("Only CODE A can contain characters #211 through #242"));
            values.append(ch - 211 + 64);
        } else if (ch < 32) {
            // A raw control character is the set A character it names.
            if (effective != A)
                throw EBarCodeError(QStringLiteral("Only CODE A can contain control characters"));
            values.append(ch + 64);
        } else {
            throw EBarCodeError(
                QStringLiteral("Code 128 cannot contain the character \"%1\"").arg(QChar(ch)));
        }
    }
    if (shifted)
        throw EBarCodeError(QStringLiteral("A shift code must be followed by a character"));
    return values;
}

int Code128CheckValue(const QList<int>& values) {
    if (values.isEmpty()) return 0;
    int sum = values.first();
    for (int i = 1; i < values.size(); ++i)
        sum += i * values.at(i);
    return sum % 103;
}

QByteArray EncodeCode128(const QList<int>& values) {
    QList<int> all = values;
    all.append(Code128CheckValue(values));
    all.append(Code128Stop);
    QByteArray out;
    for (const int value : all) {
        const char* widths = Code128Widths[value];
        for (int k = 0; widths[k]; ++k)
            out += QByteArray(widths[k] - '0', k % 2 == 0 ? NarrowBar : NarrowSpace);
    }
    return out;
}
