#include "ui/MainFrame.h"

#include <QAction>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QShortcut>
#include <QStatusBar>
#include <QToolBar>
#include <QUrl>

#include <string_view>

#include "packing/CorvelinDoc.h"
#include "packing/GraftListWriter.h"
#include "settings/CorvelinSys.h"
#include "settings/SettingsStore.h"
#include "support/TextCodec.h"
#include "support/UiLanguage.h"
#include "ui/AboutDlg.h"
#include "ui/CommandKeyFilter.h"
#include "ui/CorvelinView.h"
#include "ui/FrameIcons.h"
#include "ui/WriteDiscDlg.h"
#include "ui/settings/DisplayFont.h"
#include "ui/settings/ManagePackDlg.h"
#include "ui/settings/OptionDlg.h"

namespace {

constexpr char kHomePage[] = "https://tessoly.example/corvelin/";

using frame_icons::Picture;

QString Text(const std::u16string& text) {
    return QString::fromStdU16String(zel::ForDisplay(text));
}

// The manual in the user's language.
const char* HelpFile() {
    return CurrentUiLanguage() == UiLanguage::Japanese ? "Corvelin.html" : "Corvelin.en.html";
}

std::string PathBytes(const QString& path) {
    return zel::EncodeFileName(path.toStdU16String());
}

}  // namespace

CMainFrame::CMainFrame(CCorvelinDoc& doc, SettingsStore& settings, CorvelinSys& sys,
                       zel::IFileSystem& fs, QWidget* parent)
    : QMainWindow(parent),
      doc_(doc),
      settings_(settings),
      sys_(sys),
      fs_(fs),
      view_(new CCorvelinView(doc, settings, sys, fs, this)),
      exportFolder_(QDir::homePath()) {
    setWindowTitle(QStringLiteral("Corvelin"));
    setWindowIcon(frame_icons::Get(Picture::Application));
    setCentralWidget(view_);
    CreateActions();
    CreateToolBar();
    FillToolbarCombos();
    CreateStatusBar();
    CreateMenus();
    SetUpCatalog();
    CreateNoOpShortcuts();

    view_->SetToolbarTexts([this] { return GetPackSizeText(); },
                           [this] { return GetFillRateText(); });
    connect(view_, &CCorvelinView::commandStateChanged, this, &CMainFrame::UpdateCommands);
    // A pack header's menu: write that pack.
    view_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(view_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        const std::optional<size_t> pack = view_->PackAtRow(view_->rowAt(at.y()));
        if (!pack || !view_->CanExport()) return;
        QMenu menu(this);
        menu.addAction(Command("writeDiscs")->text(), this,
                       [this, pack] { OnWriteDiscs({static_cast<uint32_t>(*pack + 1)}); });
        menu.addAction(Command("recordPlan")->text(), this, &CMainFrame::OnRecordPlan);
        menu.exec(view_->viewport()->mapToGlobal(at));
    });
    connect(view_, &CCorvelinView::packSizeRejected, this, [this] {
        // The user types the size next: replace the refused text.
        packSizeBox_->setFocus(Qt::OtherFocusReason);
        packSizeBox_->lineEdit()->selectAll();
    });
    connect(view_, &CCorvelinView::statusTextChanged, this, [this](const QString& text) {
        if (text.isEmpty()) {
            statusBar()->clearMessage();
        } else {
            statusBar()->showMessage(text);
        }
    });
    UpdateCommands();
    QSize size(900, 600);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        size = size.boundedTo(screen->availableGeometry().size() * 9 / 10);
    }
    resize(size);
}

CMainFrame::~CMainFrame() = default;

void CMainFrame::CreateToolBar() {
    QToolBar* bar = addToolBar(tr("ツール バー"));
    bar->setObjectName(QStringLiteral("toolBar"));
    bar->setIconSize(QSize(16, 16));
    bar->setAllowedAreas(Qt::AllToolBarAreas);
    toolBarToggle_ = bar->toggleViewAction();
    toolBarToggle_->setText(tr("ツール バー(&T)"));
    toolBarToggle_->setObjectName(QStringLiteral("toolBarToggle"));

    // The stored face with its fallbacks, at the size of the system's font: the
    // stored height of 12 would come out at 8 px with the wide line spacing of
    // the Japanese fonts installed here.
    DisplaySettings boxFace;  // the stored default face, no size of its own
    boxFace.fontSize = 0;
    QFont boxFont = MakeListFont(boxFace);
    boxFont.setPointSizeF(font().pointSizeF());
    auto makeBox = [&](const char* name, int width) {
        auto* box = new QComboBox;
        box->setObjectName(QString::fromLatin1(name));
        box->setEditable(true);
        // The lists change only through FillToolbarCombos, never by Enter.
        box->setInsertPolicy(QComboBox::NoInsert);
        box->setFont(boxFont);
        box->setFixedWidth(width);
        box->setMaxVisibleItems(qMax(3, 100 / qMax(1, box->fontMetrics().height() + 4)));
        return box;
    };
    packSizeBox_ = makeBox("packSize", 150);
    fillRateBox_ = makeBox("fillRate", 60);
    auto* keyFilter = new CCommandKeyFilter(commandKeys_, this);
    // The box takes the override first and hands it to its line edit.
    packSizeBox_->installEventFilter(keyFilter);
    fillRateBox_->installEventFilter(keyFilter);
    packSizeBox_->setToolTip(tr("パックサイズ"));
    fillRateBox_->setToolTip(tr("充填率"));

    // Commands by name, the boxes where "boxes" stands, a separator for null.
    const char* const layout[] = {"clearList",       "export", nullptr, "newGroup", "addToGroup",
                                  "removeFromGroup", "boxes",  nullptr, "run",      "back",
                                  nullptr,           "about"};
    for (const char* name : layout) {
        if (!name) {
            bar->addSeparator();
        } else if (std::string_view(name) == "boxes") {
            bar->addWidget(packSizeBox_);
            bar->addWidget(fillRateBox_);
        } else {
            bar->addAction(Command(name));
        }
    }
}

void CMainFrame::CreateStatusBar() {
    QStatusBar* bar = statusBar();
    // A plain widget of the bar gives way to prompts and comes back after them.
    auto* idle = new QLabel(tr("レディ"));
    idle->setObjectName(QStringLiteral("idleText"));
    bar->addWidget(idle, 1);
    // Lock states cannot be read portably: the panes are kept, shown blank.
    for (const char* pane : {"CAP", "NUM", "SCRL"}) {
        auto* label = new QLabel;
        label->setObjectName(QString::fromLatin1(pane));
        label->setAlignment(Qt::AlignCenter);
        label->setMinimumWidth(label->fontMetrics().horizontalAdvance(QStringLiteral("SCRL")) + 8);
        bar->addPermanentWidget(label);
    }
    QAction* shown = Command("statusBar");
    shown->setCheckable(true);
    shown->setChecked(true);
    connect(shown, &QAction::toggled, bar, &QWidget::setVisible);
}

void CMainFrame::CreateNoOpShortcuts() {
    // Copy, cut, paste, undo and the pane keys have no command here; they are
    // taken so that the list does not act on them. Text boxes still get theirs.
    const QKeySequence keys[] = {
        QKeySequence(Qt::CTRL | Qt::Key_C), QKeySequence(Qt::CTRL | Qt::Key_Insert),
        QKeySequence(Qt::CTRL | Qt::Key_X), QKeySequence(Qt::SHIFT | Qt::Key_Delete),
        QKeySequence(Qt::CTRL | Qt::Key_V), QKeySequence(Qt::SHIFT | Qt::Key_Insert),
        QKeySequence(Qt::CTRL | Qt::Key_Z), QKeySequence(Qt::ALT | Qt::Key_Backspace),
        QKeySequence(Qt::Key_F6),           QKeySequence(Qt::SHIFT | Qt::Key_F6),
    };
    for (const QKeySequence& key : keys) {
        auto* shortcut = new QShortcut(key, this);
        shortcut->setObjectName(QStringLiteral("noOp"));
    }
}

QString CMainFrame::GetPackSizeText() const {
    return packSizeBox_->currentText();
}

QString CMainFrame::GetFillRateText() const {
    return fillRateBox_->currentText();
}

void CMainFrame::FillToolbarCombos() {
    packSizeBox_->clear();
    for (const PackInfo& info : settings_.packInfoList)
        packSizeBox_->addItem(Text(info.Name));
    packSizeBox_->setCurrentIndex(-1);
    packSizeBox_->clearEditText();
    fillRateBox_->clear();
    fillRateBox_->addItems({QStringLiteral("100%"), QStringLiteral("95%"), QStringLiteral("90%")});
    fillRateBox_->setCurrentIndex(0);
}

void CMainFrame::OnClearList() {
    doc_.OnNewDocument();
    view_->OnDocumentReset();
    exportPath_.clear();  // a new list proposes export.csv again
    UpdateCommands();
}

QString CMainFrame::AskExportPath() {
    QFileDialog dialog(this, tr("名前を付けて保存"), exportFolder_);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(tr("ﾀﾌﾞ区切りﾃｷｽﾄ(*.csv)"));
    dialog.setDefaultSuffix(QStringLiteral("csv"));
    const QString proposed =
        exportPath_.empty()
            ? QStringLiteral("export.csv")
            : QFileInfo(QString::fromStdU16String(zel::DecodeFileName(exportPath_))).fileName();
    dialog.selectFile(proposed);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().constFirst();
}

void CMainFrame::OnExport() {
    const QString chosen = AskExportPath();
    if (chosen.isEmpty()) return;
    WriteExport(PathBytes(chosen));
}

void CMainFrame::OnSave() {
    // The key may come before the enabled state has caught up.
    if (!view_->CanSave()) return;
    if (!exportPath_.empty() && fs_.CheckWritable(exportPath_) == 0) {
        WriteExport(exportPath_);
    } else {
        OnExport();
    }
}

QString CMainFrame::AskGraftListFolder() {
    return QFileDialog::getExistingDirectory(this, tr("リストを書き出すフォルダ"), exportFolder_);
}

// One packNN.lst per pack for xorrisofs; nothing is written when a name cannot
// be carried by the format.
void CMainFrame::OnGraftLists() {
    const QString chosen = AskGraftListFolder();
    if (chosen.isEmpty()) return;
    std::string message;
    const CGraftListWriter writer(doc_.root, doc_.packs);
    if (!writer.Write(PathBytes(chosen), message, fs_)) {
        QMessageBox::critical(this, QStringLiteral("ERROR"), QString::fromStdString(message));
        return;
    }
    statusBar()->showMessage(tr("%1 個のリストを書き出しました").arg(doc_.packs.size()));
}

void CMainFrame::OnWriteDiscs(std::vector<uint32_t> packs) {
    CWriteDiscDlg dialog(doc_, std::move(packs), GetPackSizeText(), this);
    dialog.SetCatalogPath(CatalogFile());
    dialog.SetRecordMd5(settings_.general.recordMd5 != 0);
    dialog.exec();
    settings_.general.recordMd5 = dialog.RecordMd5() ? 1 : 0;
}

bool CMainFrame::WriteExport(const std::string& path) {
    std::string message;
    if (!doc_.ExportPacks(path, message, fs_)) {
        QMessageBox::critical(this, QStringLiteral("ERROR"), QString::fromStdString(message));
        return false;
    }
    exportPath_ = path;
    const size_t slash = path.rfind('/');
    if (slash != std::string::npos) {
        exportFolder_ = QString::fromStdU16String(
            zel::DecodeFileName(slash == 0 ? std::string("/") : path.substr(0, slash)));
    }
    return true;
}

void CMainFrame::OnHelp() {
    const std::string program = sys_.GetLocationFolder(ZelConfiguration::ProgramFolder);
    if (!program.empty()) {
        for (const char* place : {"/", "/../share/corvelin/"}) {
            const std::string path = program + place + HelpFile();
            zel::FileStat st;
            if (fs_.Stat(path, st) == 0 && st.kind == zel::FileKind::Regular) {
                QDesktopServices::openUrl(
                    QUrl::fromLocalFile(QString::fromStdU16String(zel::DecodeFileName(path))));
                return;
            }
        }
    }
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Corvelin"),
                    tr("ヘルプファイルが見つかりませんでした"), QMessageBox::Ok, this);
    box.exec();
}

void CMainFrame::OnHomePage() {
    QDesktopServices::openUrl(QUrl(QString::fromLatin1(kHomePage)));
}

void CMainFrame::OnAbout() {
    CAboutDlg dialog(this);
    dialog.exec();
}

void CMainFrame::OnOptions() {
    COptionDlg dialog(settings_.general, this);
    if (dialog.exec() != QDialog::Accepted) return;
    settings_.general = dialog.Settings();
    view_->OnSettingsChanged();
}

void CMainFrame::OnManagePack() {
    CManagePackDlg dialog(settings_.packInfoList, this);
    if (dialog.exec() != QDialog::Accepted) return;
    settings_.packInfoList = dialog.List();
    FillToolbarCombos();
}
