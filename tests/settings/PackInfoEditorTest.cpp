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
        {u"CD(700MB)", u"1", 0, R::DuplicateName},
        {u"cd(700mb)", u"1", CPackInfoEditor::UnitGByte, R::Added},  // case counts
        {u"", u"12x", 0, R::EmptyName},                              // name checked first
        {u"CD(700MB)", u"-5", 0, R::InvalidSize},                    // size before duplicate
        {u"Sp", u"1 2", 0, R::InvalidSize},
        {u"Bare", u"", CPackInfoEditor::UnitGByte, R::Added},  // the run refuses it later
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        EXPECT_EQ(editor.Register(c.name, c.digits, c.unit), c.result) << "case " << i;
    }
    PackInfoList expected = DefaultPackInfoList();
    expected.insert(expected.end(), {{u"cd(700mb)", u"1G"}, {u"Bare", u"G"}});
    EXPECT_EQ(editor.List(), expected);
}

TEST(PackInfoEditorTest, ShownSortedByNameWhileTheListKeepsRegistrationOrder) {
    CPackInfoEditor editor({{u"b", u"1"}, {u"B", u"2"}, {u"a", u"3"}, {u"_x", u"4"}, {u"C", u"5"}});
    EXPECT_EQ(editor.SortedByName(), (std::vector<size_t>{3, 2, 1, 0, 4}));
}

TEST(OptionRulesTest, LineHeightAcceptsZeroToTenOnly) {
    struct Case {
        std::u16string text;
        bool ok;
        int32_t value;
    } cases[] = {{u" 7 ", true, 7}, {u"010", true, 10}, {u"11", false, 3},
                 {u"-1", false, 3}, {u"1a", false, 3},  {u"99999999999", false, 3}};
    for (size_t i = 0; i < std::size(cases); ++i) {
        int32_t value = 3;
        EXPECT_EQ(ParseLineHeight(cases[i].text, value), cases[i].ok) << "case " << i;
        EXPECT_EQ(value, cases[i].value) << "case " << i;
    }
}

}  // namespace
