// The tests check the program's own (Japanese) texts; the English ones are
// checked on their own.
#include "support/UiLanguage.h"

namespace {
const bool kJapanese = (SetUiLanguage(UiLanguage::Japanese), true);
}
