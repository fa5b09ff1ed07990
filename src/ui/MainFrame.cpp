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

#include <functional>

#include "packing/CorvelinDoc.h"
#include "packing/GraftListWriter.h"
#include "settings/CorvelinSys.h"
#include "settings/SettingsStore.h"
#include "support/TextCodec.h"
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
constexpr char kHelpFile[] = "Corvelin.html";

using frame_icons::Picture;

QString Text(const std::u16string& text) {
    return QString::fromStdU16String(zel::ForDisplay(text));
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
        menu.addAction(commands_.writeDiscs->text(), this,
                       [this, pack] { OnWriteDiscs({static_cast<uint32_t>(*pack + 1)}); });
        menu.addAction(commands_.recordPlan->text(), this, &CMainFrame::OnRecordPlan);
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

QAction* CMainFrame::AddCommand(const char* name, const QString& text, const QString& prompt) {
    auto* action = new QAction(text, this);
    action->setObjectName(QString::fromLatin1(name));
    // The prompt before the line break goes to the status bar, the rest is the tooltip.
    const qsizetype newline = prompt.indexOf(QLatin1Char('\n'));
    action->setStatusTip(newline < 0 ? prompt : prompt.left(newline));
    if (newline >= 0) action->setToolTip(prompt.mid(newline + 1));
    addAction(action);
    // What the last command reported gives way to the idle prompt; connected
    // first, so a command's own report comes after it.
    connect(action, &QAction::triggered, this, [this] { statusBar()->clearMessage(); });
    return action;
}

void CMainFrame::CreateActions() {
    Commands& c = commands_;
    c.clearList = AddCommand("clearList", QStringLiteral("リストを空にする\tCtrl+N(&N)"),
                             QStringLiteral("リストを空にします\nリストを空にします"));
    c.exportAs = AddCommand("export", QStringLiteral("エクスポート(&A)..."),
                            QStringLiteral("結果をファイルに保存\nｴｸｽﾎﾟｰﾄ"));
    c.graftLists = AddCommand(
        "graftLists", QStringLiteral("ディスク用リストを書き出す(&D)..."),
        QStringLiteral("パックごとに xorrisofs のパスリストを書き出します\nディスク用リスト"));
    c.writeDiscs = AddCommand(
        "writeDiscs", QStringLiteral("ディスクに書き込む(&W)..."),
        QStringLiteral("パックをディスクやイメージに書き込み、検証します\nディスクに書き込む"));
    c.recordPlan =
        AddCommand("recordPlan", QStringLiteral("計画をカタログに記録する(&R)..."),
                   QStringLiteral("パックをまだ書き込んでいないセットとしてカタログに記録します\n"
                                  "カタログに記録"));
    c.save = AddCommand("save", QString(), QString());
    c.exit = AddCommand("exit", QStringLiteral("アプリケーションの終了(&X)"),
                        QStringLiteral("アプリケーションを終了し、ファイルの保存を指示\\終了"));
    c.run = AddCommand("run", QStringLiteral("実行\tCtr+E"), QStringLiteral("実行\n実行"));
    c.back = AddCommand("back", QStringLiteral("戻る\tCtrl+B"),
                        QStringLiteral("実行前の状態に戻ります\n戻る"));
    c.newGroup =
        AddCommand("newGroup", QStringLiteral("新しいグループ\tCtrl+G"),
                   QStringLiteral("新しいグループを作成します\n新しいグループを作成します"));
    c.addToGroup = AddCommand("addToGroup", QStringLiteral("既存のグループに入れる\tCtrl+I"),
                              QStringLiteral("既存のグループに入れます\n既存のグループに入れます"));
    c.removeFromGroup =
        AddCommand("removeFromGroup", QStringLiteral("グループからはずす\tAlt+G"),
                   QStringLiteral("グループからはずします\nグループからはずします"));
    c.groupEach = AddCommand("groupEach", QStringLiteral("個別にグループ化"),
                             QStringLiteral("選択項目を個別にグループ化"));
    c.groupSubfolders =
        AddCommand("groupSubfolders", QStringLiteral("サブフォルダをグループ化"),
                   QStringLiteral("選択フォルダのサブフォルダすべてを個別にグループ化"));
    c.statusBar = AddCommand("statusBar", QStringLiteral("ステータス バー(&S)"), QString());
    c.managePack = AddCommand("managePack", QStringLiteral("パックサイズの管理(&M)..."),
                              QStringLiteral("パックサイズ管理\nパックサイズの管理をします"));
    c.options = AddCommand("options", QStringLiteral("オプション(&O)..."),
                           QStringLiteral("オプション\nオプション"));
    c.help = AddCommand("help", QStringLiteral("ヘルプ目次"), QString());
    c.homePage = AddCommand("homePage", QStringLiteral("Tessoly software Home Page"), QString());
    c.about = AddCommand(
        "about", QStringLiteral("バージョン情報 Corvelin(&A)..."),
        QStringLiteral("プログラム情報、バージョン、著作権を表示します。\nバージョン情報"));

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
    connect(c.writeDiscs, &QAction::triggered, this, [this] {
        if (view_->CanExport()) OnWriteDiscs();
    });
    connect(c.recordPlan, &QAction::triggered, this, [this] {
        if (view_->CanExport()) OnRecordPlan();
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
        const std::function<bool()> allowed = std::bind(command.allowed, view_);
        const std::function<void()> carryOut = std::bind(command.command, view_);
        connect(command.action, &QAction::triggered, this, [this, allowed, carryOut] {
            if (allowed()) carryOut();
            UpdateCommands();
        });
    }
}

void CMainFrame::CreateMenus() {
    const Commands& c = commands_;
    QMenu* file = menuBar()->addMenu(QStringLiteral("ファイル(&F)"));
    file->addAction(c.clearList);
    file->addAction(c.exportAs);
    file->addAction(c.graftLists);
    file->addAction(c.writeDiscs);
    file->addAction(c.recordPlan);
    file->addSeparator();
    file->addAction(c.exit);

    QMenu* operate = menuBar()->addMenu(QStringLiteral("操作(&O)"));
    operate->addAction(c.run);
    operate->addAction(c.back);
    operate->addSeparator();
    operate->addAction(c.newGroup);
    operate->addAction(c.addToGroup);
    operate->addAction(c.removeFromGroup);
    operate->addAction(c.groupEach);
    operate->addAction(c.groupSubfolders);

    QMenu* show = menuBar()->addMenu(QStringLiteral("表示(&V)"));
    show->addAction(c.toolBar);
    show->addAction(c.statusBar);

    QMenu* tools = menuBar()->addMenu(QStringLiteral("ツール(&T)"));
    tools->addAction(c.managePack);
    tools->addAction(c.options);
    SetUpCatalog(tools);

    QMenu* help = menuBar()->addMenu(QStringLiteral("ヘルプ(&H)"));
    help->addAction(c.help);
    help->addAction(c.homePage);
    help->addSeparator();
    help->addAction(c.about);

    for (QMenu* menu : {file, operate, show, tools, help}) {
        connect(menu, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommands);
    }
}

void CMainFrame::CreateToolBar() {
    QToolBar* bar = addToolBar(QStringLiteral("ツール バー"));
    bar->setObjectName(QStringLiteral("toolBar"));
    bar->setIconSize(QSize(16, 16));
    bar->setAllowedAreas(Qt::AllToolBarAreas);
    commands_.toolBar = bar->toggleViewAction();
    commands_.toolBar->setText(QStringLiteral("ツール バー(&T)"));
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
    packSizeBox_->setToolTip(QStringLiteral("パックサイズ"));
    fillRateBox_->setToolTip(QStringLiteral("充填率"));

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
    auto* idle = new QLabel(QStringLiteral("レディ"));
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
    c.writeDiscs->setEnabled(view_->CanExport());
    c.recordPlan->setEnabled(view_->CanExport());
    c.save->setEnabled(view_->CanSave());
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
    QFileDialog dialog(this, QStringLiteral("名前を付けて保存"), exportFolder_);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(QStringLiteral("ﾀﾌﾞ区切りﾃｷｽﾄ(*.csv)"));
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
    return QFileDialog::getExistingDirectory(this, QStringLiteral("リストを書き出すフォルダ"),
                                             exportFolder_);
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
    statusBar()->showMessage(
        QStringLiteral("%1 個のリストを書き出しました").arg(doc_.packs.size()));
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
            const std::string path = program + place + kHelpFile;
            zel::FileStat st;
            if (fs_.Stat(path, st) == 0 && st.kind == zel::FileKind::Regular) {
                QDesktopServices::openUrl(
                    QUrl::fromLocalFile(QString::fromStdU16String(zel::DecodeFileName(path))));
                return;
            }
        }
    }
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Corvelin"),
                    QStringLiteral("ヘルプファイルが見つかりませんでした"), QMessageBox::Ok, this);
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
