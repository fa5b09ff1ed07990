#include <gtest/gtest.h>

#include <string>

#include "settings/OptionRules.h"
#include "settings/PackInfoEditor.h"

namespace {

using R = CPackInfoEditor::RegisterResult;

TEST(PackInfoEditorTest, RegisterChecksInOrderAndAppendsDigitsWithUnitLetter) {
    CPackInfoEditor editor(DefaultPackInfoList());
    struct Case {
        std::u16string name, digits;
        int unit;
        R result;
    } cases[] = {
        {u"DVD-R", u"4480", CPackInfoEditor::UnitMByte, R::Added},
        {u"DVD-R", u"4480", CPackInfoEditor::UnitMByte, R::DuplicateName},
        {u"dvd-r", u"1", CPackInfoEditor::UnitGByte, R::Added},  // case counts
        {u"", u"12x", 0, R::EmptyName},                          // name checked first
        {u"DVD-R", u"12x", 0, R::InvalidSize},                   // size before duplicate
        {u"Neg", u"-5", 0, R::InvalidSize},
        {u"Sp", u"1 2", 0, R::InvalidSize},
        {u"Bytes", u"1000", CPackInfoEditor::UnitByte, R::Added},
        {u"Kilo", u"7", CPackInfoEditor::UnitKByte, R::Added},
        {u"Bare", u"", CPackInfoEditor::UnitGByte, R::Added},  // the run refuses it later
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        EXPECT_EQ(editor.Register(c.name, c.digits, c.unit), c.result) << "case " << i;
    }
    PackInfoList expected = DefaultPackInfoList();
    expected.insert(expected.end(), {{u"DVD-R", u"4480M"},
                                     {u"dvd-r", u"1G"},
                                     {u"Bytes", u"1000"},
                                     {u"Kilo", u"7K"},
                                     {u"Bare", u"G"}});
    EXPECT_EQ(editor.List(), expected);
}

TEST(PackInfoEditorTest, AHundredEntriesRefuseMoreBeforeAnyOtherCheck) {
    PackInfoList full;
    for (int i = 0; i < 100; ++i)
        full.push_back({std::u16string(1, char16_t(0x4E00 + i)), u"1"});
    CPackInfoEditor editor(full);
    EXPECT_EQ(editor.Register(u"", u"x", 0), R::ListFull);
    ASSERT_TRUE(editor.Remove(full[5].Name));
    EXPECT_FALSE(editor.Remove(full[5].Name));
    EXPECT_EQ(editor.Register(u"new", u"1", 0), R::Added);
    EXPECT_EQ(editor.List().size(), 100u);
}

TEST(PackInfoEditorTest, ShownSortedByNameWhileTheListKeepsRegistrationOrder) {
    CPackInfoEditor editor({{u"b", u"1"}, {u"B", u"2"}, {u"a", u"3"}, {u"_x", u"4"}, {u"C", u"5"}});
    EXPECT_EQ(editor.SortedByName(), (std::vector<size_t>{3, 2, 1, 0, 4}));
    EXPECT_EQ(editor.List()[0].Name, u"b");
}

TEST(PackInfoEditorTest, MessagesAndCaptions) {
    EXPECT_EQ(std::u16string(RegisterMessage(R::ListFull).text),
              u"これ以上登録することが出来ません。");
    EXPECT_EQ(std::u16string(RegisterMessage(R::InvalidSize).caption), u"ERROR");
    EXPECT_EQ(std::u16string(RegisterMessage(R::DuplicateName).caption), u"INFORMATION");
    EXPECT_EQ(RegisterMessage(R::Added).text, nullptr);
}

TEST(OptionRulesTest, LineHeightAcceptsZeroToTenOnly) {
    struct Case {
        std::u16string text;
        bool ok;
        int32_t value;
    } cases[] = {{u"0", true, 0},    {u"10", true, 10}, {u" 7 ", true, 7},
                 {u"010", true, 10}, {u"11", false, 3}, {u"-1", false, 3},
                 {u"", false, 3},    {u"1a", false, 3}, {u"99999999999", false, 3}};
    for (size_t i = 0; i < std::size(cases); ++i) {
        int32_t value = 3;
        EXPECT_EQ(ParseLineHeight(cases[i].text, value), cases[i].ok) << "case " << i;
        EXPECT_EQ(value, cases[i].value) << "case " << i;
    }
}

TEST(OptionRulesTest, ColourPairsAddressTheirOwnKeys) {
    DisplaySettings settings;
    PairColor(settings, PairPack, false) = 0x123456;
    PairColor(settings, PairGridOdd, true) = 0x654321;
    EXPECT_EQ(settings.colorPackText, 0x123456u);
    EXPECT_EQ(settings.colorGridOddBack, 0x654321u);
    EXPECT_EQ(PairColor(settings, PairFolder, false), 16711680u);
    EXPECT_EQ(PairColor(settings, PairSelect, true), 16744448u);
}

}  // namespace
