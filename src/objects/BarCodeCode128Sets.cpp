#include "objects/BarCodeCode128Sets.h"

#include "objects/BarCodeSymbols.h"

#include <optional>

namespace {

enum TSet { SetA, SetB, SetC };

constexpr int Shift = 98, CodeC = 99, CodeB = 100, CodeA = 101, StartA = 103;

// What a character needs: digits go into every set, the others of 32 to 95 into A and B,
// lower case and DEL into B and control characters into A.
enum class TKind { Digit, Shared, Lower, Control };

struct TCharacter {
    TKind Kind;
    int Value; // in sets A and B
};

// Only ASCII: the bytes that stand for start, shift, function and control characters in data
// with a start character (201 to 242) are accented letters here, which the symbol cannot hold.
TCharacter Classify(QChar c) {
    const int ch = c.unicode();
    if (ch >= '0' && ch <= '9') return {TKind::Digit, ch - 32};
    if (ch < 32) return {TKind::Control, ch + 64};
    if (ch < 96) return {TKind::Shared, ch - 32};
    if (ch < 128) return {TKind::Lower, ch - 32};
    throw EBarCodeError(QStringLiteral("Code 128 cannot contain the character \"%1\"").arg(c));
}

bool Fits(const TCharacter& c, TSet set) {
    switch (c.Kind) {
    case TKind::Lower:
        return set == SetB;
    case TKind::Control:
        return set == SetA;
    default:
        return set != SetC;
    }
}

// Plans the sets of one symbol from left to right, each decision from the characters ahead.
class TSetPlanner {
public:
    explicit TSetPlanner(const QString& data) {
        for (const QChar c : data)
            FText.append(Classify(c));
    }

    QList<int> Values() {
        TSet set = StartSet();
        FValues = {StartA + int(set)};
        for (int i = 0; i < FText.size();) {
            const TCharacter& c = FText.at(i);
            if (set == SetC) {
                if (IsDigit(i) && IsDigit(i + 1)) {
                    FValues.append(DigitValue(i) * 10 + DigitValue(i + 1));
                    i += 2;
                } else {
                    set = AOrB(i);
                    FValues.append(set == SetA ? CodeA : CodeB);
                }
                continue;
            }
            if (const int run = DigitRun(i); run >= 6 || (run >= 4 && i + run == FText.size())) {
                // An odd run leaves its first digit to the set in use.
                if (run % 2 != 0) FValues.append(FText.at(i++).Value);
                FValues.append(CodeC);
                set = SetC;
                continue;
            }
            if (Fits(c, set)) {
                FValues.append(c.Value);
                ++i;
                continue;
            }
            if (FirstSetNeeded(i + 1) == set) {
                FValues.append(Shift);
                FValues.append(c.Value);
                ++i;
            } else {
                set = set == SetA ? SetB : SetA;
                FValues.append(set == SetA ? CodeA : CodeB);
            }
        }
        return FValues;
    }

private:
    bool IsDigit(int i) const { return i < FText.size() && FText.at(i).Kind == TKind::Digit; }
    int DigitValue(int i) const { return FText.at(i).Value - ('0' - 32); }

    int DigitRun(int from) const {
        int end = from;
        while (IsDigit(end))
            ++end;
        return end - from;
    }

    // The set of the first character from `from` on that only A or only B holds.
    std::optional<TSet> FirstSetNeeded(int from) const {
        for (int i = from; i < FText.size(); ++i) {
            if (FText.at(i).Kind == TKind::Control) return SetA;
            if (FText.at(i).Kind == TKind::Lower) return SetB;
        }
        return std::nullopt;
    }

    // A when a control character comes before any lower case letter, else B.
    TSet AOrB(int from) const { return FirstSetNeeded(from).value_or(SetB); }

    TSet StartSet() const {
        const int run = DigitRun(0);
        if (run >= 4 || (run == 2 && run == FText.size())) return SetC;
        return AOrB(0);
    }

    QList<TCharacter> FText;
    QList<int> FValues;
};

} // namespace

QList<int> Code128ValuesWithChosenSets(const QString& data) {
    if (data.isEmpty())
        throw EBarCodeError(QStringLiteral("Code 128 barcodes must have at least one character"));
    return TSetPlanner(data).Values();
}
