#include "ui/MainFrame.h"

#include <sys/stat.h>
#include <unistd.h>

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
      view_(new CCorvelinView(doc, settings, sys, this)),
      exportFolder_(QDir::homePath()) {
    setWindowTitle(QStringLiteral("Corvelin"));
    setWindowIcon(frame_icons::Get(Picture::Application));
    setCentralWidget(view_);
    CreateActions();
    CreateToolBar();
    FillToolbarCombos();
    CreateStatusBar();
    CreateMenus();
    CreateNoOpShortcuts();

    view_->SetToolbarTexts([this] { return GetPackSizeText(); },
                           [this] { return GetFillRateText(); });
    connect(view_, &CCorvelinView::commandStateChanged, this, &CMainFrame::UpdateCommands);
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

QAction* CMainFrame::AddCommand(const char* name, const QString& text, const QString& prompt) {
    auto* action = new QAction(text, this);
    action->setObjectName(QString::fromLatin1(name));
    // The prompt before the line break goes to the status bar, the rest is the tooltip.
    const qsizetype newline = prompt.indexOf(QLatin1Char('\n'));
    action->setStatusTip(newline < 0 ? prompt : prompt.left(newline));
    if (newline >= 0) action->setToolTip(prompt.mid(newline + 1));
    addAction(action);
    return action;
}

void CMainFrame::CreateActions() {
    Commands& c = commands_;
    c.clearList = AddCommand("clearList", tr("リストを空にする\tCtrl+N(&N)"),
                             tr("リストを空にします\nリストを空にします"));
    c.exportAs =
        AddCommand("export", tr("エクスポート(&A)..."), tr("結果をファイルに保存\nｴｸｽﾎﾟｰﾄ"));
    c.graftLists =
        AddCommand("graftLists", tr("ディスク用リストを書き出す(&D)..."),
                   tr("パックごとに xorrisofs のパスリストを書き出します\nディスク用リスト"));
    c.save = AddCommand("save", QString(), QString());
    c.exit = AddCommand("exit", tr("アプリケーションの終了(&X)"),
                        tr("アプリケーションを終了し、ファイルの保存を指示\\終了"));
    c.run = AddCommand("run", tr("実行\tCtr+E"), tr("実行\n実行"));
    c.back = AddCommand("back", tr("戻る\tCtrl+B"), tr("実行前の状態に戻ります\n戻る"));
    c.newGroup = AddCommand("newGroup", tr("新しいグループ\tCtrl+G"),
                            tr("新しいグループを作成します\n新しいグループを作成します"));
    c.addToGroup = AddCommand("addToGroup", tr("既存のグループに入れる\tCtrl+I"),
                              tr("既存のグループに入れます\n既存のグループに入れます"));
    c.removeFromGroup = AddCommand("removeFromGroup", tr("グループからはずす\tAlt+G"),
                                   tr("グループからはずします\nグループからはずします"));
    c.groupEach = AddCommand("groupEach", tr("個別にグループ化"), tr("選択項目を個別にグループ化"));
    c.groupSubfolders = AddCommand("groupSubfolders", tr("サブフォルダをグループ化"),
                                   tr("選択フォルダのサブフォルダすべてを個別にグループ化"));
    c.statusBar = AddCommand("statusBar", tr("ステータス バー(&S)"), QString());
    c.managePack = AddCommand("managePack", tr("パックサイズの管理(&M)..."),
                              tr("パックサイズ管理\nパックサイズの管理をします"));
    c.options = AddCommand("options", tr("オプション(&O)..."), tr("オプション\nオプション"));
    c.help = AddCommand("help", tr("ヘルプ目次"), QString());
    c.homePage = AddCommand("homePage", QStringLiteral("Tessoly software Home Page"), QString());
    c.about = AddCommand("about", tr("バージョン情報 Corvelin(&A)..."),
                         tr("プログラム情報、バージョン、著作権を表示します。\nバージョン情報"));

    const struct {
        QAction* action;
        QKeySequence keys;
    } shortcuts[] = {
        {c.clearList, QKeySequence(Qt::CTRL | Qt::Key_N)},
        {c.save, QKeySequence(Qt::CTRL | Qt::Key_S)},
        {c.run, QKeySequence(Qt::CTRL | Qt::Key_E)},
        {c.back, QKeySequence(Qt::CTRL | Qt::Key_B)},
        {c.newGroup, QKeySequence(Qt::CTRL | Qt::Key_G)},
        {c.addToGroup, QKeySequence(Qt::CTRL | Qt::Key_I)},
        {c.removeFromGroup, QKeySequence(Qt::ALT | Qt::Key_G)},
    };
    for (const auto& s : shortcuts)
        s.action->setShortcut(s.keys);

    const struct {
        QAction* action;
        Picture picture;
        bool inMenu;
    } pictures[] = {
        {c.clearList, Picture::ClearList, false},
        {c.exportAs, Picture::Export, true},
        {c.run, Picture::Run, true},
        {c.back, Picture::Back, true},
        {c.newGroup, Picture::NewGroup, true},
        {c.addToGroup, Picture::AddToGroup, true},
        {c.removeFromGroup, Picture::RemoveFromGroup, true},
        {c.options, Picture::Options, true},
        {c.help, Picture::Help, true},
        {c.homePage, Picture::HomePage, true},
        {c.about, Picture::About, false},
    };
    for (const auto& p : pictures) {
        p.action->setIcon(frame_icons::Get(p.picture));
        p.action->setIconVisibleInMenu(p.inMenu);
    }

    connect(c.clearList, &QAction::triggered, this, &CMainFrame::OnClearList);
    connect(c.exportAs, &QAction::triggered, this, [this] {
        if (view_->CanExport()) OnExport();
    });
    connect(c.graftLists, &QAction::triggered, this, [this] {
        if (view_->CanExport()) OnGraftLists();
    });
    connect(c.save, &QAction::triggered, this, &CMainFrame::OnSave);
    connect(c.exit, &QAction::triggered, this, &QWidget::close);
    connect(c.managePack, &QAction::triggered, this, &CMainFrame::OnManagePack);
    connect(c.options, &QAction::triggered, this, &CMainFrame::OnOptions);
    connect(c.help, &QAction::triggered, this, &CMainFrame::OnHelp);
    connect(c.homePage, &QAction::triggered, this, &CMainFrame::OnHomePage);
    connect(c.about, &QAction::triggered, this, &CMainFrame::OnAbout);

    // The list's commands, each carried out only while its rule allows it (an
    // accelerator may come before the enabled state has caught up).
    const struct {
        QAction* action;
        bool (CCorvelinView::*allowed)() const;
        void (CCorvelinView::*command)();
    } listCommands[] = {
        {c.run, &CCorvelinView::CanRun, &CCorvelinView::OnRun},
        {c.back, &CCorvelinView::CanBack, &CCorvelinView::OnBack},
        {c.newGroup, &CCorvelinView::CanNewGroup, &CCorvelinView::OnNewGroup},
        {c.addToGroup, &CCorvelinView::CanAddToGroup, &CCorvelinView::OnAddToGroup},
        {c.removeFromGroup, &CCorvelinView::CanRemoveFromGroup, &CCorvelinView::OnRemoveFromGroup},
        {c.groupEach, &CCorvelinView::CanGroupEach, &CCorvelinView::OnGroupEach},
        {c.groupSubfolders, &CCorvelinView::CanGroupSubfolders, &CCorvelinView::OnGroupSubfolders},
    };
    for (const auto& command : listCommands) {
        connect(command.action, &QAction::triggered, this, [this, command] {
            if ((view_->*command.allowed)()) (view_->*command.command)();
            UpdateCommands();
        });
    }
}

void CMainFrame::CreateMenus() {
    const Commands& c = commands_;
    QMenu* file = menuBar()->addMenu(tr("ファイル(&F)"));
    file->addAction(c.clearList);
    file->addAction(c.exportAs);
    file->addAction(c.graftLists);
    file->addSeparator();
    file->addAction(c.exit);

    QMenu* operate = menuBar()->addMenu(tr("操作(&O)"));
    operate->addAction(c.run);
    operate->addAction(c.back);
    operate->addSeparator();
    operate->addAction(c.newGroup);
    operate->addAction(c.addToGroup);
    operate->addAction(c.removeFromGroup);
    operate->addAction(c.groupEach);
    operate->addAction(c.groupSubfolders);

    QMenu* show = menuBar()->addMenu(tr("表示(&V)"));
    show->addAction(c.toolBar);
    show->addAction(c.statusBar);

    QMenu* tools = menuBar()->addMenu(tr("ツール(&T)"));
    tools->addAction(c.managePack);
    tools->addAction(c.options);
    SetUpCatalog(tools);

    QMenu* help = menuBar()->addMenu(tr("ヘルプ(&H)"));
    help->addAction(c.help);
    help->addAction(c.homePage);
    help->addSeparator();
    help->addAction(c.about);

    for (QMenu* menu : {file, operate, show, tools, help}) {
        connect(menu, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommands);
    }
}

void CMainFrame::CreateToolBar() {
    QToolBar* bar = addToolBar(tr("ツール バー"));
    bar->setObjectName(QStringLiteral("toolBar"));
    bar->setIconSize(QSize(16, 16));
    bar->setAllowedAreas(Qt::AllToolBarAreas);
    commands_.toolBar = bar->toggleViewAction();
    commands_.toolBar->setText(tr("ツール バー(&T)"));
    commands_.toolBar->setObjectName(QStringLiteral("toolBarToggle"));

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
    QList<QKeySequence> commandKeys;
    for (QAction* action : {commands_.clearList, commands_.save, commands_.run, commands_.back,
                            commands_.newGroup, commands_.addToGroup, commands_.removeFromGroup})
        commandKeys.append(action->shortcut());
    auto* keyFilter = new CCommandKeyFilter(commandKeys, this);
    // The box takes the override first and hands it to its line edit.
    packSizeBox_->installEventFilter(keyFilter);
    fillRateBox_->installEventFilter(keyFilter);
    packSizeBox_->setToolTip(tr("パックサイズ"));
    fillRateBox_->setToolTip(tr("充填率"));

    const Commands& c = commands_;
    bar->addAction(c.clearList);
    bar->addAction(c.exportAs);
    bar->addSeparator();
    bar->addAction(c.newGroup);
    bar->addAction(c.addToGroup);
    bar->addAction(c.removeFromGroup);
    bar->addWidget(packSizeBox_);
    bar->addWidget(fillRateBox_);
    bar->addSeparator();
    bar->addAction(c.run);
    bar->addAction(c.back);
    bar->addSeparator();
    bar->addAction(c.about);
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
    commands_.statusBar->setCheckable(true);
    commands_.statusBar->setChecked(true);
    connect(commands_.statusBar, &QAction::toggled, bar, &QWidget::setVisible);
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

void CMainFrame::UpdateCommands() {
    const Commands& c = commands_;
    c.run->setEnabled(view_->CanRun());
    c.back->setEnabled(view_->CanBack());
    c.exportAs->setEnabled(view_->CanExport());
    c.graftLists->setEnabled(view_->CanExport());
    c.newGroup->setEnabled(view_->CanNewGroup());
    c.addToGroup->setEnabled(view_->CanAddToGroup());
    c.removeFromGroup->setEnabled(view_->CanRemoveFromGroup());
    c.groupEach->setEnabled(view_->CanGroupEach());
    c.groupSubfolders->setEnabled(view_->CanGroupSubfolders());
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
    struct stat st {};
    if (!exportPath_.empty() && ::stat(exportPath_.c_str(), &st) == 0 &&
        ::access(exportPath_.c_str(), W_OK) == 0) {
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
            struct stat st {};
            if (::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
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
