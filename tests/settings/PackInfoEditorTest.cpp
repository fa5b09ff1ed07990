#include <gtest/gtest.h>

#include <string>

#include "settings/OptionRules.h"
#include "settings/PackInfoEditor.h"
#include "support/TextCodec.h"

namespace {

using R = CPackInfoEditor::RegisterResult;

TEST(PackInfoEditorTest, RegisterChecksInOrderAndAppendsDigitsWithUnitLetter) {
    CPackInfoEditor editor(DefaultPackInfoList());
    struct Case {
        std::u16string name, digits;
        int unit;
        R result;
        std::u16string capacity;  // bytes, "," allowed between digits
    } cases[] = {
        {u"CD(700MB)", u"1", 0, R::DuplicateName, u""},
        {u"cd(700mb)", u"1", CPackInfoEditor::UnitGByte, R::Added, u""},  // case counts
        {u"", u"12x", 0, R::EmptyName, u""},                              // name checked first
        {u"CD(700MB)", u"-5", 0, R::InvalidSize, u""},                    // size before duplicate
        {u"Sp", u"1 2", 0, R::InvalidSize, u""},
        // What the run refuses (ParsePackSize): no digits, beyond 64 bits.
        {u"Bare", u"", CPackInfoEditor::UnitGByte, R::InvalidSize, u""},
        {u"Huge", u"12345678901234567890123", 0, R::InvalidSize, u""},
        {u"Small", u"5", CPackInfoEditor::UnitGByte, R::InvalidCapacity, u"4,999,999,999"},
        {u"Exact", u"5", CPackInfoEditor::UnitGByte, R::Added, u"5,000,000,000"},
        {u"CD(700MB)", u"1", 0, R::InvalidCapacity, u"7x"},  // capacity before duplicate
        {u"Big", u"1", 0, R::InvalidCapacity, u"18446744073709551616"},
        {u"Lead", u"1", 0, R::InvalidCapacity, u",5"},
        {u"Trail", u"1", 0, R::InvalidCapacity, u"5,"},
        {u"DVD-R", u"4", CPackInfoEditor::UnitGByte, R::Added, u"4,707,319,808"},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        EXPECT_EQ(editor.Register(c.name, c.digits, c.unit, c.capacity), c.result) << "case " << i;
    }
    PackInfoList expected = DefaultPackInfoList();
    expected.insert(
        expected.end(),
        {{u"cd(700mb)", u"1G"}, {u"Exact", u"5G", 5000000000u}, {u"DVD-R", u"4G", 4707319808u}});
    EXPECT_EQ(editor.List(), expected);
}

TEST(PackInfoEditorTest, ShownSortedByNameWhileTheListKeepsRegistrationOrder) {
    CPackInfoEditor editor({{u"b", u"1"}, {u"B", u"2"}, {u"a", u"3"}, {u"_x", u"4"}, {u"C", u"5"}});
    EXPECT_EQ(editor.SortedByName(), (std::vector<size_t>{3, 2, 1, 0, 4}));
}

TEST(OptionRulesTest, LineHeightAcceptsZeroToTenOnly) {
    int32_t value = 3;
    EXPECT_TRUE(ParseLineHeight(u" 7 ", value));
    EXPECT_EQ(value, 7);
    EXPECT_TRUE(ParseLineHeight(u"010", value));  // 10, which no refusal below may change
    for (const char16_t* refused : {u"11", u"-1", u"1a", u"99999999999"}) {
        EXPECT_FALSE(ParseLineHeight(refused, value)) << zel::Utf16ToUtf8(refused);
        EXPECT_EQ(value, 10);
    }
}

}  // namespace
