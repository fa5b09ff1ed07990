// The frame's commands, one row each: a new command is a row here and its handler.

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>

#include <functional>

#include "ui/CorvelinView.h"
#include "ui/FrameIcons.h"
#include "ui/MainFrame.h"

namespace {

using frame_icons::Picture;

// Where a command shows its picture; the toolbar shows it always.
enum class Icon { None, NotInMenu, InMenu };

}  // namespace

void CMainFrame::CreateActions() {
    struct FrameCommand {
        const char* name;    // the action's object name
        const char* text;    // Japanese source text; null for a key alone
        const char* prompt;  // the status bar's text, after a line break the tooltip
        QKeySequence key;
        Icon icon;
        Picture picture;  // when icon is not None
        Menu menu;        // rows of one menu stand in its order
        bool separatorBefore;
        // While it says no, the command is disabled and does nothing (a key
        // may come before the enabled state has caught up); null: always on.
        bool (CCorvelinView::*allowed)() const;
        std::function<void()> run;
    };
    // Bound to the view here: a closure that called through the member pointer was
    // reported by AddressSanitizer as a stack-buffer-underflow.
    const auto list = [this](void (CCorvelinView::*command)()) -> std::function<void()> {
        return std::bind(command, view_);
    };
    const FrameCommand table[] = {
        {"clearList", QT_TR_NOOP("リストを空にする\tCtrl+N(&N)"),
         QT_TR_NOOP("リストを空にします\nリストを空にします"), Qt::CTRL | Qt::Key_N,
         Icon::NotInMenu, Picture::ClearList, Menu::File, false, nullptr,
         [this] { OnClearList(); }},
        {"export",
         QT_TR_NOOP("エクスポート(&A)..."),
         QT_TR_NOOP("結果をファイルに保存\nｴｸｽﾎﾟｰﾄ"),
         {},
         Icon::InMenu,
         Picture::Export,
         Menu::File,
         false,
         &CCorvelinView::CanExport,
         [this] { OnExport(); }},
        {"graftLists",
         QT_TR_NOOP("ディスク用リストを書き出す(&D)..."),
         QT_TR_NOOP("パックごとに xorrisofs のパスリストを書き出します\nディスク用リスト"),
         {},
         Icon::None,
         {},
         Menu::File,
         false,
         &CCorvelinView::CanExport,
         [this] { OnGraftLists(); }},
        {"writeDiscs",
         QT_TR_NOOP("ディスクに書き込む(&W)..."),
         QT_TR_NOOP("パックをディスクやイメージに書き込み、検証します\nディスクに書き込む"),
         {},
         Icon::None,
         {},
         Menu::File,
         false,
         &CCorvelinView::CanExport,
         [this] { OnWriteDiscs(); }},
        {"recordPlan",
         QT_TR_NOOP("計画をカタログに記録する(&R)..."),
         QT_TR_NOOP("パックをまだ書き込んでいないセットとしてカタログに記録します\n"
                    "カタログに記録"),
         {},
         Icon::None,
         {},
         Menu::File,
         false,
         &CCorvelinView::CanExport,
         [this] { OnRecordPlan(); }},
        {"exit",
         QT_TR_NOOP("アプリケーションの終了(&X)"),
         QT_TR_NOOP("アプリケーションを終了し、ファイルの保存を指示\\終了"),
         {},
         Icon::None,
         {},
         Menu::File,
         true,
         nullptr,
         [this] { close(); }},
        {"save",
         nullptr,
         nullptr,
         Qt::CTRL | Qt::Key_S,
         Icon::None,
         {},
         Menu::None,
         false,
         &CCorvelinView::CanSave,
         [this] { OnSave(); }},
        {"run", QT_TR_NOOP("実行\tCtr+E"), QT_TR_NOOP("実行\n実行"), Qt::CTRL | Qt::Key_E,
         Icon::InMenu, Picture::Run, Menu::Operate, false, &CCorvelinView::CanRun,
         list(&CCorvelinView::OnRun)},
        {"back", QT_TR_NOOP("戻る\tCtrl+B"), QT_TR_NOOP("実行前の状態に戻ります\n戻る"),
         Qt::CTRL | Qt::Key_B, Icon::InMenu, Picture::Back, Menu::Operate, false,
         &CCorvelinView::CanBack, list(&CCorvelinView::OnBack)},
        {"newGroup", QT_TR_NOOP("新しいグループ\tCtrl+G"),
         QT_TR_NOOP("新しいグループを作成します\n新しいグループを作成します"), Qt::CTRL | Qt::Key_G,
         Icon::InMenu, Picture::NewGroup, Menu::Operate, true, &CCorvelinView::CanNewGroup,
         list(&CCorvelinView::OnNewGroup)},
        {"addToGroup", QT_TR_NOOP("既存のグループに入れる\tCtrl+I"),
         QT_TR_NOOP("既存のグループに入れます\n既存のグループに入れます"), Qt::CTRL | Qt::Key_I,
         Icon::InMenu, Picture::AddToGroup, Menu::Operate, false, &CCorvelinView::CanAddToGroup,
         list(&CCorvelinView::OnAddToGroup)},
        {"removeFromGroup", QT_TR_NOOP("グループからはずす\tAlt+G"),
         QT_TR_NOOP("グループからはずします\nグループからはずします"), Qt::ALT | Qt::Key_G,
         Icon::InMenu, Picture::RemoveFromGroup, Menu::Operate, false,
         &CCorvelinView::CanRemoveFromGroup, list(&CCorvelinView::OnRemoveFromGroup)},
        {"groupEach",
         QT_TR_NOOP("個別にグループ化"),
         QT_TR_NOOP("選択項目を個別にグループ化"),
         {},
         Icon::None,
         {},
         Menu::Operate,
         false,
         &CCorvelinView::CanGroupEach,
         list(&CCorvelinView::OnGroupEach)},
        {"groupSubfolders",
         QT_TR_NOOP("サブフォルダをグループ化"),
         QT_TR_NOOP("選択フォルダのサブフォルダすべてを個別にグループ化"),
         {},
         Icon::None,
         {},
         Menu::Operate,
         false,
         &CCorvelinView::CanGroupSubfolders,
         list(&CCorvelinView::OnGroupSubfolders)},
        // Checkable: CreateStatusBar ties it to the bar.
        {"statusBar",
         QT_TR_NOOP("ステータス バー(&S)"),
         nullptr,
         {},
         Icon::None,
         {},
         Menu::View,
         false,
         nullptr,
         nullptr},
        {"managePack",
         QT_TR_NOOP("パックサイズの管理(&M)..."),
         QT_TR_NOOP("パックサイズ管理\nパックサイズの管理をします"),
         {},
         Icon::None,
         {},
         Menu::Tools,
         false,
         nullptr,
         [this] { OnManagePack(); }},
        {"options",
         QT_TR_NOOP("オプション(&O)..."),
         QT_TR_NOOP("オプション\nオプション"),
         {},
         Icon::InMenu,
         Picture::Options,
         Menu::Tools,
         false,
         nullptr,
         [this] { OnOptions(); }},
        {"catalog",
         QT_TR_NOOP("カタログ(&C)..."),
         QT_TR_NOOP("書き込んだディスクのファイルを検索します"),
         {},
         Icon::None,
         {},
         Menu::Tools,
         true,
         nullptr,
         [this] { OnCatalog(); }},
        // Checkable: SetUpCatalog ties it to its setting.
        {"skipArchived",
         QT_TR_NOOP("アーカイブ済みのファイルを除外(&S)"),
         QT_TR_NOOP("カタログにある同じパス・サイズ・更新日時のファイルをドロップで取り込みません"),
         {},
         Icon::None,
         {},
         Menu::Tools,
         false,
         nullptr,
         nullptr},
        {"help",
         QT_TR_NOOP("ヘルプ目次"),
         nullptr,
         {},
         Icon::InMenu,
         Picture::Help,
         Menu::Help,
         false,
         nullptr,
         [this] { OnHelp(); }},
        {"homePage",
         QT_TR_NOOP("Tessoly software Home Page"),
         nullptr,
         {},
         Icon::InMenu,
         Picture::HomePage,
         Menu::Help,
         false,
         nullptr,
         [this] { OnHomePage(); }},
        {"about",
         QT_TR_NOOP("バージョン情報 Corvelin(&A)..."),
         QT_TR_NOOP("プログラム情報、バージョン、著作権を表示します。\nバージョン情報"),
         {},
         Icon::NotInMenu,
         Picture::About,
         Menu::Help,
         true,
         nullptr,
         [this] { OnAbout(); }},
    };

    for (const FrameCommand& row : table) {
        auto* action = new QAction(row.text ? tr(row.text) : QString(), this);
        action->setObjectName(QString::fromLatin1(row.name));
        if (row.prompt) {
            // The prompt before the line break goes to the status bar, the rest is the tooltip.
            const QString prompt = tr(row.prompt);
            const qsizetype newline = prompt.indexOf(QLatin1Char('\n'));
            action->setStatusTip(newline < 0 ? prompt : prompt.left(newline));
            if (newline >= 0) action->setToolTip(prompt.mid(newline + 1));
        }
        addAction(action);
        // What the last command reported gives way to the idle prompt; connected
        // first, so a command's own report comes after it.
        connect(action, &QAction::triggered, this, [this] { statusBar()->clearMessage(); });
        if (!row.key.isEmpty()) {
            action->setShortcut(row.key);
            commandKeys_.append(row.key);
        }
        if (row.icon != Icon::None) {
            action->setIcon(frame_icons::Get(row.picture));
            action->setIconVisibleInMenu(row.icon == Icon::InMenu);
        }
        if (row.menu != Menu::None) menuEntries_.push_back({row.menu, row.separatorBefore, action});
        // Bound once here, as the list commands are.
        std::function<bool()> allowed;
        if (row.allowed) {
            allowed = std::bind(row.allowed, view_);
            rules_.emplace_back(action, allowed);
        }
        if (!row.run) continue;
        connect(action, &QAction::triggered, this, [this, allowed, run = row.run] {
            if (!allowed || allowed()) run();
            UpdateCommands();
        });
    }
}

QAction* CMainFrame::Command(const char* name) const {
    return findChild<QAction*>(QString::fromLatin1(name), Qt::FindDirectChildrenOnly);
}

void CMainFrame::CreateMenus() {
    const std::pair<Menu, const char*> bar[] = {
        {Menu::File, QT_TR_NOOP("ファイル(&F)")}, {Menu::Operate, QT_TR_NOOP("操作(&O)")},
        {Menu::View, QT_TR_NOOP("表示(&V)")},     {Menu::Tools, QT_TR_NOOP("ツール(&T)")},
        {Menu::Help, QT_TR_NOOP("ヘルプ(&H)")},
    };
    for (const auto& [which, title] : bar) {
        QMenu* menu = menuBar()->addMenu(tr(title));
        if (which == Menu::View) menu->addAction(toolBarToggle_);
        for (const MenuEntry& entry : menuEntries_) {
            if (entry.menu != which) continue;
            if (entry.separatorBefore) menu->addSeparator();
            menu->addAction(entry.action);
        }
        connect(menu, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommands);
    }
}

void CMainFrame::UpdateCommands() {
    for (const auto& [action, allowed] : rules_)
        action->setEnabled(allowed());
}
