// Code 128 without a start character: the start set, the changes of set and shifts inside
// the data, and what cannot be encoded.

#include "objects/BarCodeCode128Sets.h"
#include "objects/BarCodeSymbols.h"

#include <gtest/gtest.h>

namespace {

QString Bytes(std::initializer_list<int> bytes) {
    QString out;
    for (const int b : bytes)
        out += QChar(b);
    return out;
}

// Values of the characters in sets A and B.
constexpr int V(char c) {
    return c - 32;
}
constexpr int Control(int c) {
    return c + 64;
}
constexpr int StartA = 103, StartB = 104, StartC = 105, CodeA = 101, CodeB = 100, CodeC = 99,
              Shift = 98;

} // namespace

TEST(Code128Sets, ChoosesTheStartSetAndChangesSetsWhereThatShortensTheSymbol) {
    const std::pair<QString, QList<int>> cases[] = {
        // Four or more digits at the start, or two digits alone: set C.
        {"12345678", {StartC, 12, 34, 56, 78}},
        {"12", {StartC, 12}},
        {"1234AB", {StartC, 12, 34, CodeB, V('A'), V('B')}},
        // An odd run in C leaves its last digit to set B.
        {"12345", {StartC, 12, 34, CodeB, V('5')}},
        // Too few digits to pay for set C.
        {"123", {StartB, V('1'), V('2'), V('3')}},
        {"12A", {StartB, V('1'), V('2'), V('A')}},
        {"HELLO world",
         {StartB, V('H'), V('E'), V('L'), V('L'), V('O'), V(' '), V('w'), V('o'), V('r'), V('l'),
          V('d')}},
        // Four digits at the end go into C; in the middle C needs six.
        {"555-0123", {StartB, V('5'), V('5'), V('5'), V('-'), CodeC, 1, 23}},
        {"AB1234CD", {StartB, V('A'), V('B'), V('1'), V('2'), V('3'), V('4'), V('C'), V('D')}},
        {"AB123456CD", {StartB, V('A'), V('B'), CodeC, 12, 34, 56, CodeB, V('C'), V('D')}},
        // An odd run keeps its first digit in the set in use.
        {"AB12345", {StartB, V('A'), V('B'), V('1'), CodeC, 23, 45}},
        {"ab1234567x", {StartB, V('a'), V('b'), V('1'), CodeC, 23, 45, 67, CodeB, V('x')}},
        // A control character before any lower case starts set A.
        {"A\tB", {StartA, V('A'), Control('\t'), V('B')}},
        {"\tA\nb", {StartA, Control('\t'), V('A'), Control('\n'), CodeB, V('b')}},
        // One control character among lower case is shifted; two in a row change the set.
        {"abc\tdef",
         {StartB, V('a'), V('b'), V('c'), Shift, Control('\t'), V('d'), V('e'), V('f')}},
        {"a\t\tb", {StartB, V('a'), CodeA, Control('\t'), Control('\t'), CodeB, V('b')}},
        {"\tx\t", {StartA, Control('\t'), Shift, V('x'), Control('\t')}},
        // Leaving C for a control character goes to A.
        {"1234\x01", {StartC, 12, 34, CodeA, Control(1)}},
        // DEL is set B.
        {Bytes({'a', 127}), {StartB, V('a'), 95}},
    };
    for (const auto& [data, values] : cases) {
        SCOPED_TRACE(data.toStdString());
        EXPECT_EQ(Code128ValuesWithChosenSets(data), values);
        // The engine's entry point takes this path for data without a start character.
        EXPECT_EQ(Code128Values(data), values);
    }
}
