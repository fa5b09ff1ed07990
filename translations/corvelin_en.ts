<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ja">
<context>
    <name>CAboutDlg</name>
    <message>
        <source>バージョン情報</source>
        <translation>About Corvelin</translation>
    </message>
</context>
<context>
    <name>CAddFilesDlg</name>
    <message>
        <source>ファイルを読み込む処理を開始できませんでした。</source>
        <translation>Could not start reading the files.</translation>
    </message>
    <message>
        <source>ファイルの追加</source>
        <translation>Adding Files</translation>
    </message>
    <message>
        <source>処理しています。しばらくお待ちください。</source>
        <translation>Working. Please wait a moment.</translation>
    </message>
</context>
<context>
    <name>CAssignGroup</name>
    <message>
        <source>既存のグループに割り当て</source>
        <translation>Add to Existing Group</translation>
    </message>
    <message>
        <source>ｸﾞﾙｰﾌﾟNo:</source>
        <translation>Group No.:</translation>
    </message>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>CAutoGroupConfirmDlg</name>
    <message>
        <source>自動グルーピング</source>
        <translation>Automatic Grouping</translation>
    </message>
</context>
<context>
    <name>CAutoGroupDlg</name>
    <message>
        <source>自動グルーピングを開始できませんでした。</source>
        <translation>Could not start automatic grouping.</translation>
    </message>
    <message>
        <source>自動グルーピング</source>
        <translation>Automatic Grouping</translation>
    </message>
    <message>
        <source>似た名前のファイルを探しています。しばらくお待ちください。</source>
        <translation>Looking for files with similar names. Please wait a moment.</translation>
    </message>
</context>
<context>
    <name>CCatalogDlg</name>
    <message>
        <source>カタログ</source>
        <translation>Catalog</translation>
    </message>
    <message>
        <source>ファイル名またはパスの一部を入力してください</source>
        <translation>Type part of a file name or path</translation>
    </message>
    <message>
        <source>ファイル</source>
        <translation>File</translation>
    </message>
    <message>
        <source>ディスク</source>
        <translation>Disc</translation>
    </message>
    <message>
        <source>セット</source>
        <translation>Set</translation>
    </message>
    <message>
        <source>日付</source>
        <translation>Date</translation>
    </message>
    <message>
        <source>フォルダを開く(&amp;O)</source>
        <translation>&amp;Open Folder</translation>
    </message>
    <message>
        <source>パスをコピー(&amp;C)</source>
        <translation>&amp;Copy Path</translation>
    </message>
    <message>
        <source>検索</source>
        <translation>Search</translation>
    </message>
    <message>
        <source>ファイル数</source>
        <translation>Files</translation>
    </message>
    <message>
        <source>サイズ</source>
        <translation>Size</translation>
    </message>
    <message>
        <source>作成日</source>
        <translation>Created</translation>
    </message>
    <message>
        <source>ディスクから追加(&amp;D)...</source>
        <translation>Add from &amp;Disc...</translation>
    </message>
    <message>
        <source>名前の変更(&amp;R)...</source>
        <translation>&amp;Rename...</translation>
    </message>
    <message>
        <source>削除(&amp;X)</source>
        <translation>Re&amp;move</translation>
    </message>
    <message>
        <source>セットの管理</source>
        <translation>Manage Sets</translation>
    </message>
    <message>
        <source>閉じる</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>カタログを読めませんでした: </source>
        <translation>Could not read the catalog: </translation>
    </message>
    <message>
        <source>最初の %1 件を表示しています</source>
        <translation>Showing the first %1 found</translation>
    </message>
    <message>
        <source>%1 件</source>
        <translation>Found: %1</translation>
    </message>
    <message>
        <source>ディスク、イメージまたは書き込んだフォルダを選択</source>
        <translation>Choose a Disc, Image or Burned Folder</translation>
    </message>
    <message>
        <source>名前の変更</source>
        <translation>Rename Set</translation>
    </message>
    <message>
        <source>セットの新しい名前:</source>
        <translation>New name for the set:</translation>
    </message>
    <message>
        <source>セット「%1」をカタログから削除しますか?
ディスクの内容は変わりません。</source>
        <translation>Remove the set &quot;%1&quot; from the catalog?
The discs themselves are not changed.</translation>
    </message>
    <message>
        <source>ファイル・イメージから追加(&amp;F)...</source>
        <translation>Add from &amp;File or Image...</translation>
    </message>
    <message>
        <source>セット ファイル、インデックスまたはイメージを選択</source>
        <translation>Choose a Set File, Index or Image</translation>
    </message>
    <message>
        <source>セット・インデックス・イメージ (*.cvset INDEX.TSV *.iso *.img);;すべて (*)</source>
        <translation>Sets, indexes and images (*.cvset INDEX.TSV *.iso *.img);;All files (*)</translation>
    </message>
    <message>
        <source>検索しています...</source>
        <translation>Searching...</translation>
    </message>
</context>
<context>
    <name>CCorvelinApp</name>
    <message>
        <source>
「無視」を選ぶと、設定を保存しないまま起動します。</source>
        <translation>
Choose &quot;Ignore&quot; to start without saving settings.</translation>
    </message>
    <message>
        <source>作業フォルダが分からないため追加できません</source>
        <translation>cannot be added because the working folder is unknown</translation>
    </message>
</context>
<context>
    <name>CImportSettingsDlg</name>
    <message>
        <source>自動グルーピング</source>
        <translation>Automatic grouping</translation>
    </message>
    <message>
        <source>保存</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>削除</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>追加</source>
        <translation>Add</translation>
    </message>
    <message>
        <source>プリセット:</source>
        <translation>Preset:</translation>
    </message>
    <message>
        <source>入力:</source>
        <translation>Include:</translation>
    </message>
    <message>
        <source>無視:</source>
        <translation>Ignore:</translation>
    </message>
    <message>
        <source>ファイル名</source>
        <translation>File Name</translation>
    </message>
    <message>
        <source>ファイル属性</source>
        <translation>File Attributes</translation>
    </message>
</context>
<context>
    <name>CInputFileNameFilterDlg</name>
    <message>
        <source>小文字大文字を区別しない</source>
        <translation>Ignore case</translation>
    </message>
    <message>
        <source>フィルター（ファイル名）</source>
        <translation>Filter (File Name)</translation>
    </message>
</context>
<context>
    <name>CInputFilterAttrDlg</name>
    <message>
        <source>読み込み専用</source>
        <translation>Read-only</translation>
    </message>
    <message>
        <source>アーカイブ</source>
        <translation>Archive</translation>
    </message>
    <message>
        <source>隠しファイル</source>
        <translation>Hidden</translation>
    </message>
    <message>
        <source>システム</source>
        <translation>System</translation>
    </message>
    <message>
        <source>Linux のファイルでは次のように判定します:
読み込み専用: 所有者に書き込み権限がない
アーカイブ: 通常のファイルには常に付いている
隠しファイル: 名前が「.」で始まる
システム: 付くことはない</source>
        <translation>On Linux, a file counts as:
Read-only: its owner has no write permission
Archive: always, for a regular file
Hidden: its name starts with &quot;.&quot;
System: never</translation>
    </message>
    <message>
        <source>フィルター（属性）</source>
        <translation>Filter (Attributes)</translation>
    </message>
    <message>
        <source>一致</source>
        <translation>Exactly these</translation>
    </message>
    <message>
        <source>含む</source>
        <translation>At least these</translation>
    </message>
</context>
<context>
    <name>CMainFrame</name>
    <message>
        <source>リストを空にする	Ctrl+N(&amp;N)</source>
        <translation>&amp;Clear List	Ctrl+N</translation>
    </message>
    <message>
        <source>リストを空にします
リストを空にします</source>
        <translation>Clears the list
Clear List</translation>
    </message>
    <message>
        <source>エクスポート(&amp;A)...</source>
        <translation>Export &amp;As...</translation>
    </message>
    <message>
        <source>結果をファイルに保存
ｴｸｽﾎﾟｰﾄ</source>
        <translation>Saves the result to a file
Export</translation>
    </message>
    <message>
        <source>ディスク用リストを書き出す(&amp;D)...</source>
        <translation>Write &amp;Disc Lists...</translation>
    </message>
    <message>
        <source>パックごとに xorrisofs のパスリストを書き出します
ディスク用リスト</source>
        <translation>Writes an xorrisofs path list for each pack
Disc Lists</translation>
    </message>
    <message>
        <source>アプリケーションの終了(&amp;X)</source>
        <translation>E&amp;xit</translation>
    </message>
    <message>
        <source>アプリケーションを終了し、ファイルの保存を指示\終了</source>
        <translation>Quits the application</translation>
    </message>
    <message>
        <source>実行	Ctr+E</source>
        <translation>Run	Ctrl+E</translation>
    </message>
    <message>
        <source>実行
実行</source>
        <translation>Divides the files into packs
Run</translation>
    </message>
    <message>
        <source>戻る	Ctrl+B</source>
        <translation>Back	Ctrl+B</translation>
    </message>
    <message>
        <source>実行前の状態に戻ります
戻る</source>
        <translation>Returns to the list as it was before the run
Back</translation>
    </message>
    <message>
        <source>新しいグループ	Ctrl+G</source>
        <translation>New Group	Ctrl+G</translation>
    </message>
    <message>
        <source>新しいグループを作成します
新しいグループを作成します</source>
        <translation>Makes a new group of the selected items
New Group</translation>
    </message>
    <message>
        <source>既存のグループに入れる	Ctrl+I</source>
        <translation>Add to Existing Group	Ctrl+I</translation>
    </message>
    <message>
        <source>既存のグループに入れます
既存のグループに入れます</source>
        <translation>Adds the selected items to an existing group
Add to Existing Group</translation>
    </message>
    <message>
        <source>グループからはずす	Alt+G</source>
        <translation>Remove from Group	Alt+G</translation>
    </message>
    <message>
        <source>グループからはずします
グループからはずします</source>
        <translation>Takes the selected items out of their group
Remove from Group</translation>
    </message>
    <message>
        <source>個別にグループ化</source>
        <translation>Group Each Item</translation>
    </message>
    <message>
        <source>選択項目を個別にグループ化</source>
        <translation>Makes each selected item a group of its own</translation>
    </message>
    <message>
        <source>サブフォルダをグループ化</source>
        <translation>Group Subfolders</translation>
    </message>
    <message>
        <source>選択フォルダのサブフォルダすべてを個別にグループ化</source>
        <translation>Makes each subfolder of the selected folders a group of its own</translation>
    </message>
    <message>
        <source>ステータス バー(&amp;S)</source>
        <translation>&amp;Status Bar</translation>
    </message>
    <message>
        <source>パックサイズの管理(&amp;M)...</source>
        <translation>&amp;Manage Pack Sizes...</translation>
    </message>
    <message>
        <source>パックサイズ管理
パックサイズの管理をします</source>
        <translation>Edits the list of pack sizes
Manage Pack Sizes</translation>
    </message>
    <message>
        <source>オプション(&amp;O)...</source>
        <translation>&amp;Options...</translation>
    </message>
    <message>
        <source>オプション
オプション</source>
        <translation>Changes the display and packing options
Options</translation>
    </message>
    <message>
        <source>ヘルプ目次</source>
        <translation>Help Contents</translation>
    </message>
    <message>
        <source>バージョン情報 Corvelin(&amp;A)...</source>
        <translation>&amp;About Corvelin...</translation>
    </message>
    <message>
        <source>プログラム情報、バージョン、著作権を表示します。
バージョン情報</source>
        <translation>Shows the program information, version and copyright.
About</translation>
    </message>
    <message>
        <source>ファイル(&amp;F)</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>操作(&amp;O)</source>
        <translation>&amp;Operations</translation>
    </message>
    <message>
        <source>表示(&amp;V)</source>
        <translation>&amp;View</translation>
    </message>
    <message>
        <source>ツール(&amp;T)</source>
        <translation>&amp;Tools</translation>
    </message>
    <message>
        <source>ヘルプ(&amp;H)</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>ツール バー</source>
        <translation>Toolbar</translation>
    </message>
    <message>
        <source>ツール バー(&amp;T)</source>
        <translation>&amp;Toolbar</translation>
    </message>
    <message>
        <source>パックサイズ</source>
        <translation>Pack size</translation>
    </message>
    <message>
        <source>充填率</source>
        <translation>Fill rate</translation>
    </message>
    <message>
        <source>レディ</source>
        <translation>Ready</translation>
    </message>
    <message>
        <source>名前を付けて保存</source>
        <translation>Save As</translation>
    </message>
    <message>
        <source>ﾀﾌﾞ区切りﾃｷｽﾄ(*.csv)</source>
        <translation>Tab-separated text (*.csv)</translation>
    </message>
    <message>
        <source>リストを書き出すフォルダ</source>
        <translation>Folder for the Disc Lists</translation>
    </message>
    <message>
        <source>%1 個のリストを書き出しました</source>
        <translation>Disc lists written: %1</translation>
    </message>
    <message>
        <source>ヘルプファイルが見つかりませんでした</source>
        <translation>The help file could not be found</translation>
    </message>
    <message>
        <source>カタログ(&amp;C)...</source>
        <translation>&amp;Catalog...</translation>
    </message>
    <message>
        <source>書き込んだディスクのファイルを検索します</source>
        <translation>Searches the files on burned discs</translation>
    </message>
    <message>
        <source>アーカイブ済みのファイルを除外(&amp;S)</source>
        <translation>&amp;Skip Archived Files</translation>
    </message>
    <message>
        <source>カタログにある同じパス・サイズ・更新日時のファイルをドロップで取り込みません</source>
        <translation>Dropped files whose path, size and modification time are already in the catalog are not added</translation>
    </message>
    <message>
        <source>Tessoly software Home Page</source>
        <translation>Tessoly Software Home Page</translation>
    </message>
    <message>
        <source>計画をカタログに記録する</source>
        <translation>Record Plan in Catalog</translation>
    </message>
    <message>
        <source>セットの名前:</source>
        <translation>Set name:</translation>
    </message>
    <message>
        <source>カタログに記録しました: %1 (%2 ファイル)</source>
        <translation>Recorded in the catalog: %1 (%2 files)</translation>
    </message>
    <message>
        <source>ディスクに書き込む(&amp;W)...</source>
        <translation>&amp;Write to Disc...</translation>
    </message>
    <message>
        <source>パックをディスクやイメージに書き込み、検証します
ディスクに書き込む</source>
        <translation>Writes the packs to discs, images or folders and verifies them
Write to Disc</translation>
    </message>
    <message>
        <source>計画をカタログに記録する(&amp;R)...</source>
        <translation>&amp;Record Plan in Catalog...</translation>
    </message>
    <message>
        <source>パックをまだ書き込んでいないセットとしてカタログに記録します
カタログに記録</source>
        <translation>Records the packs in the catalog as a set not yet written
Record in Catalog</translation>
    </message>
    <message>
        <source>
アーカイブ済みのファイルを除外せずに取り込みました。</source>
        <translation>
The files were added without skipping archived ones.</translation>
    </message>
</context>
<context>
    <name>CMakeConfigDlg</name>
    <message>
        <source>初期設定 - Corvelin</source>
        <translation>Initial Setup - Corvelin</translation>
    </message>
    <message>
        <source>設定ファイルを作成する場所を指定してください。</source>
        <translation>Choose where to create the settings file.</translation>
    </message>
    <message>
        <source>ユーザーのアプリケーションデータフォルダ</source>
        <translation>The user&apos;s application data folder</translation>
    </message>
    <message>
        <source>実行ファイルがあるフォルダ + ユーザー名</source>
        <translation>The program&apos;s folder + user name</translation>
    </message>
    <message>
        <source>実行ファイルがあるフォルダ</source>
        <translation>The program&apos;s folder</translation>
    </message>
</context>
<context>
    <name>CManagePackDlg</name>
    <message>
        <source>パックサイズの管理</source>
        <translation>Manage Pack Sizes</translation>
    </message>
    <message>
        <source>省略可</source>
        <translation>Optional</translation>
    </message>
    <message>
        <source>メディアに書き込めるバイト数。空欄のときはパックサイズで確かめます。</source>
        <translation>The number of bytes the medium can hold. When empty, the pack size is used for the check.</translation>
    </message>
    <message>
        <source>登録</source>
        <translation>Add</translation>
    </message>
    <message>
        <source>削除</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>名前:</source>
        <translation>Name:</translation>
    </message>
    <message>
        <source>サイズ:</source>
        <translation>Size:</translation>
    </message>
    <message>
        <source>単位:</source>
        <translation>Unit:</translation>
    </message>
    <message>
        <source>容量（バイト）:</source>
        <translation>Capacity (bytes):</translation>
    </message>
</context>
<context>
    <name>COptionDlg</name>
    <message>
        <source>ファイル</source>
        <translation>File</translation>
    </message>
    <message>
        <source>フォルダ</source>
        <translation>Folder</translation>
    </message>
    <message>
        <source>選択</source>
        <translation>Selection</translation>
    </message>
    <message>
        <source>パック</source>
        <translation>Pack</translation>
    </message>
    <message>
        <source>奇数</source>
        <translation>Odd rows</translation>
    </message>
    <message>
        <source>偶数</source>
        <translation>Even rows</translation>
    </message>
    <message>
        <source>選択...</source>
        <translation>Choose...</translation>
    </message>
    <message>
        <source>簡易アイコンで表示する</source>
        <translation>Show simple icons</translation>
    </message>
    <message>
        <source>常にフィルター画面を表示する</source>
        <translation>Always show the filter window</translation>
    </message>
    <message>
        <source>イメージサイズがメディアに収まるようにパックする</source>
        <translation>Pack so that each disc image fits on the medium</translation>
    </message>
    <message>
        <source>オプション</source>
        <translation>Options</translation>
    </message>
    <message>
        <source>表示</source>
        <translation>Display</translation>
    </message>
    <message>
        <source>フォント:</source>
        <translation>Font:</translation>
    </message>
    <message>
        <source>行間:</source>
        <translation>Line spacing:</translation>
    </message>
    <message>
        <source>サイズ表示:</source>
        <translation>Show sizes in:</translation>
    </message>
    <message>
        <source>配色</source>
        <translation>Colors</translation>
    </message>
    <message>
        <source>文字色:</source>
        <translation>Text color:</translation>
    </message>
    <message>
        <source>背景色:</source>
        <translation>Background color:</translation>
    </message>
    <message>
        <source>その他</source>
        <translation>Other</translation>
    </message>
    <message>
        <source>リストから変更したい項目を選んでください。</source>
        <translation>Choose the item to change from the list.</translation>
    </message>
    <message>
        <source>0 から 10 までの整数を入力してください。</source>
        <translation>Enter a whole number from 0 to 10.</translation>
    </message>
    <message>
        <source>%1（%2 の代わり）</source>
        <translation>%1 (in place of %2)</translation>
    </message>
    <message>
        <source>ディスクとイメージに xorriso の MD5 も記録する</source>
        <translation>Also record xorriso&apos;s MD5 checksums on discs and images</translation>
    </message>
</context>
<context>
    <name>CPackRunDlg</name>
    <message>
        <source>パックを作成する処理を開始できませんでした。</source>
        <translation>Could not start making the packs.</translation>
    </message>
    <message>
        <source>実行</source>
        <translation>Run</translation>
    </message>
    <message>
        <source>処理しています。しばらくお待ちください。</source>
        <translation>Working. Please wait a moment.</translation>
    </message>
    <message>
        <source>パックの作成中にエラーが発生しました。</source>
        <translation>An error occurred while making the packs.</translation>
    </message>
</context>
<context>
    <name>CSkippedEntriesDlg</name>
    <message>
        <source>%1 件の項目を読み込めなかったため、除外しました。</source>
        <translation>Entries left out because they could not be read: %1</translation>
    </message>
</context>
<context>
    <name>CWorkerDlg</name>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>CWriteDiscDlg</name>
    <message>
        <source>（書き込み済み）</source>
        <translation>(written)</translation>
    </message>
    <message>
        <source>（検証済み）</source>
        <translation>(verified)</translation>
    </message>
    <message>
        <source>（失敗）</source>
        <translation>(failed)</translation>
    </message>
    <message>
        <source>パック %1 %2</source>
        <translation>Pack %1 %2</translation>
    </message>
    <message>
        <source>ディスクに書き込む</source>
        <translation>Write to Disc</translation>
    </message>
    <message>
        <source>セットの名前(&amp;N):</source>
        <translation>Set &amp;name:</translation>
    </message>
    <message>
        <source>イメージファイル</source>
        <translation>Image files</translation>
    </message>
    <message>
        <source>ドライブ %1</source>
        <translation>Drive %1</translation>
    </message>
    <message>
        <source>フォルダ（パックごとに選ぶ）</source>
        <translation>Folders (one chosen per pack)</translation>
    </message>
    <message>
        <source>書き込み先(&amp;T):</source>
        <translation>Write &amp;to:</translation>
    </message>
    <message>
        <source>参照(&amp;B)...</source>
        <translation>&amp;Browse...</translation>
    </message>
    <message>
        <source>フォルダー(&amp;F):</source>
        <translation>&amp;Folder:</translation>
    </message>
    <message>
        <source>パック(&amp;P):</source>
        <translation>&amp;Packs:</translation>
    </message>
    <message>
        <source>書き込んだ後に検証する(&amp;V)</source>
        <translation>&amp;Verify after writing</translation>
    </message>
    <message>
        <source>xorriso の MD5 も記録する(&amp;M)</source>
        <translation>Also record xorriso&apos;s &amp;MD5 checksums</translation>
    </message>
    <message>
        <source>セットを開く(&amp;O)...</source>
        <translation>&amp;Open Set...</translation>
    </message>
    <message>
        <source>検証(&amp;E)...</source>
        <translation>V&amp;erify...</translation>
    </message>
    <message>
        <source>開始(&amp;S)</source>
        <translation>&amp;Start</translation>
    </message>
    <message>
        <source>閉じる</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>セットを開く</source>
        <translation>Open Set</translation>
    </message>
    <message>
        <source>セット (*.cvset)</source>
        <translation>Sets (*.cvset)</translation>
    </message>
    <message>
        <source>イメージを書き込むフォルダー</source>
        <translation>Folder for the Images</translation>
    </message>
    <message>
        <source>書き込みが終わりました。</source>
        <translation>Writing is finished.</translation>
    </message>
    <message>
        <source>中止しました。</source>
        <translation>Cancelled.</translation>
    </message>
    <message>
        <source>途中でやめました。「セットを開く」で続きを書き込めます。</source>
        <translation>Stopped partway. Use Open Set to write the rest.</translation>
    </message>
    <message>
        <source>セットファイル: </source>
        <translation>Set file: </translation>
    </message>
    <message>
        <source>中止</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>検証するフォルダー</source>
        <translation>Folder to Verify</translation>
    </message>
    <message>
        <source>検証するイメージ</source>
        <translation>Image to Verify</translation>
    </message>
    <message>
        <source>イメージ (*.iso);;すべてのファイル (*)</source>
        <translation>Images (*.iso);;All files (*)</translation>
    </message>
    <message>
        <source>書き込む</source>
        <translation>Write</translation>
    </message>
    <message>
        <source>飛ばす</source>
        <translation>Skip</translation>
    </message>
    <message>
        <source>前のパックをやり直す</source>
        <translation>Redo Previous Pack</translation>
    </message>
    <message>
        <source>やめる</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>フォルダにコピーする</source>
        <translation>Copy to Folder</translation>
    </message>
    <message>
        <source>フォルダーを選ぶ...</source>
        <translation>Choose Folder...</translation>
    </message>
    <message>
        <source>パック %1 / %2 のコピー先</source>
        <translation>Where to Copy Pack %1 of %2</translation>
    </message>
    <message>
        <source>中止しています...</source>
        <translation>Cancelling...</translation>
    </message>
</context>
<context>
    <name>DialogButtons</name>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
</context>
</TS>
