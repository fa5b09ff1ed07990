#pragma once

class QDialog;
class QDialogButtonBox;

// "OK" (the default button, also for Enter) and "キャンセル" (also Esc),
// connected to the dialog's accept and reject.
QDialogButtonBox* MakeOkCancelButtons(QDialog* dialog);
