#include "intake/LoadImportSettingsReceiver.h"

#include <boost/make_shared.hpp>

#include <limits>
#include <vector>

#include "intake/AttrImportFilter.h"
#include "intake/FileNameImportFilter.h"
#include "support/ZelText.h"

std::u16string QuotePresetText(std::u16string_view text) {
    std::u16string escaped(text);
    zel::EscapeBackslashes(escaped);
    // Always an extra pair, so a text that itself starts and ends with a quote
    // comes back whole.
    return u"\"" + escaped + u"\"";
}

std::u16string UnquotePresetText(std::u16string_view value) {
    std::u16string text(value);
    zel::UnquoteText(text);
    zel::UnescapeBackslashes(text);
    return text;
}

int32_t PresetDecimalValue(std::u16string_view value) {
    size_t i = 0;
    while (i < value.size() && (value[i] == u' ' || (value[i] >= u'\t' && value[i] <= u'\r'))) {
        ++i;
    }
    bool negative = false;
    if (i < value.size() && (value[i] == u'+' || value[i] == u'-')) {
        negative = value[i] == u'-';
        ++i;
    }
    int64_t number = 0;
    const int64_t limit = int64_t{std::numeric_limits<int32_t>::max()} + 1;
    for (; i < value.size() && value[i] >= u'0' && value[i] <= u'9'; ++i) {
        number = number * 10 + (value[i] - u'0');
        if (number > limit) number = limit;
    }
    if (negative) return static_cast<int32_t>(-number);
    return number >= limit ? std::numeric_limits<int32_t>::max() : static_cast<int32_t>(number);
}

namespace {

// Comma-separated fields; a field may be enclosed in quotes, inside which commas
// do not split and a backslash keeps the next quote.
std::vector<std::u16string> SplitFields(std::u16string_view value) {
    std::vector<std::u16string> fields;
    size_t i = 0;
    for (;;) {
        std::u16string field;
        bool quoted = false;
        while (i < value.size()) {
            const char16_t c = value[i];
            if (quoted) {
                if (c == u'\\' && i + 1 < value.size() && value[i + 1] == u'"') {
                    field += u'"';
                    i += 2;
                    continue;
                }
                if (c == u'"') {
                    quoted = false;
                } else {
                    field += c;
                }
            } else if (c == u'"') {
                quoted = true;
            } else if (c == u',') {
                break;
            } else {
                field += c;
            }
            ++i;
        }
        fields.push_back(std::move(field));
        if (i >= value.size()) break;
        ++i;  // the comma
    }
    return fields;
}

}  // namespace

uint32_t PresetAttrValue(std::u16string_view value) {
    static constexpr uint32_t kBits[] = {kAttrReadOnly, kAttrArchive, kAttrHidden, kAttrSystem};
    const std::vector<std::u16string> fields = SplitFields(value);
    uint32_t attr = 0;
    for (size_t f = 0; f < 4 && f < fields.size(); ++f) {
        if (PresetDecimalValue(fields[f]) > 0) attr |= kBits[f];
    }
    return attr;
}

void LoadImportSettingsReceiver::FinishFilter() {
    CImportFilterPtr filter;
    if (state_ == InNameFilter) {
        filter = boost::make_shared<CFileNameImportFilter>(pattern_, nocase_);
    } else {
        filter = boost::make_shared<CAttrImportFilter>(attr_, func_);
    }
    if (listState_ == InInputList) {
        current_->inputFilters.push_back(std::move(filter));
    } else {
        current_->ignoreFilters.push_back(std::move(filter));
    }
    state_ = listState_;
}

void LoadImportSettingsReceiver::OpenPreset() {
    current_ = boost::make_shared<CImportSettings>();
    ++opened_;
    state_ = InPreset;
}

void LoadImportSettingsReceiver::DropOpenPreset() {
    if (state_ == Outside) return;
    damaged_.push_back({opened_, current_->name});
    current_.reset();
    state_ = Outside;
}

void LoadImportSettingsReceiver::Finish() {
    DropOpenPreset();
}

bool LoadImportSettingsReceiver::OnKeyValueW(const std::u16string& key,
                                             const std::u16string& value) {
    if (key == u"<ImportSettings>") {
        DropOpenPreset();
        OpenPreset();
        return true;
    }
    switch (state_) {
        case Outside:
            break;
        case InPreset:
            if (key == u"Name") {
                current_->name = UnquotePresetText(value);
            } else if (key == u"AutoGroup") {
                current_->AutoGroup = PresetDecimalValue(value);
            } else if (key == u"<InputFilter>") {
                state_ = InInputList;
            } else if (key == u"<IgnoreFilter>") {
                state_ = InIgnoreList;
            } else if (key == u"</ImportSettings>") {
                result_.push_back(std::move(current_));
                current_.reset();
                state_ = Outside;
            }
            break;
        case InInputList:
        case InIgnoreList:
            if (key == u"type") {
                if (value == u"filename") {
                    pattern_.clear();
                    nocase_ = 0;
                    listState_ = state_;
                    state_ = InNameFilter;
                } else if (value == u"attributes") {
                    attr_ = 0;
                    func_ = 0;
                    listState_ = state_;
                    state_ = InAttrFilter;
                }
            } else if (key == u"</InputFilter>" || key == u"</IgnoreFilter>") {
                state_ = InPreset;
            }
            // "<Filter>" needs nothing: a filter begins at its "type" line.
            break;
        case InNameFilter:
            if (key == u"string") {
                pattern_ = UnquotePresetText(value);
            } else if (key == u"nocase") {
                nocase_ = PresetDecimalValue(value);
            } else if (key == u"</Filter>") {
                FinishFilter();
            }
            break;
        case InAttrFilter:
            if (key == u"attr") {
                attr_ = PresetAttrValue(value);
            } else if (key == u"func") {
                func_ = static_cast<uint32_t>(PresetDecimalValue(value));
            } else if (key == u"</Filter>") {
                FinishFilter();
            }
            break;
    }
    return true;
}
