// Writes the help file TEKUCROS.HLP: one HTML page in Japanese on playing and making puzzles.
// Menu captions appear as the menu shows them (the access-key "&" dropped).
#include <cstdio>
#include <string>

namespace {

const char* const kHelp = R"HTML(<!DOCTYPE html>
<html lang="ja">
<head>
<meta charset="UTF-8">
<title>ミナモ　ナンクロ支援ツール ヘルプ</title>
<style>
body { font-family: sans-serif; line-height: 1.6; margin: 1em 2em; }
h1 { font-size: 150%; border-bottom: 2px solid #6699CC; }
h2 { font-size: 125%; margin-top: 1.5em; color: #003366; }
h3 { font-size: 110%; }
.menu { font-weight: bold; color: #660000; }
table { border-collapse: collapse; }
td, th { border: 1px solid #999999; padding: 2px 8px; text-align: left; }
</style>
</head>
<body>
<h1>ミナモ　ナンクロ支援ツール</h1>
<p>ナンクロ（ナンバークロスワード）とクロスワードを遊ぶ、作るための道具です。
問題は拡張子 .CRS のファイルで、プログラムと同じフォルダに置きます。
見本として <b>SAMPLE1.CRS</b>（ナンクロ 15×15）と <b>SAMPLE2.CRS</b>（クロスワード 7×7）が付いています。</p>

<h2 id="contents">目次</h2>
<ul>
<li><a href="#play">遊び方</a></li>
<li><a href="#make">問題の作り方</a></li>
<li><a href="#letters">文字から作る・検証</a></li>
<li><a href="#keys">キーボードで入れる</a></li>
<li><a href="#undo">元に戻す・やり直す</a></li>
<li><a href="#zoom">拡大・縮小</a></li>
<li><a href="#unique">一意性チェック</a></li>
<li><a href="#menu">メニュー一覧</a></li>
</ul>

<h2 id="play">遊び方</h2>
<h3>問題を開く</h3>
<p>メニュー <span class="menu">ﾌｧｲﾙ(F)</span> の <span class="menu">開く(O)</span> で問題ファイルを選びます。
開いた問題は必ず <span class="menu">ｹﾞｰﾑ実行(G)</span> のモードで始まり、前に保存した自分の入力も読み込まれます。</p>

<h3>ナンクロ</h3>
<p>白いマスにはそれぞれ番号が書かれています。同じ番号のマスには同じ文字が入り、違う番号には違う文字が入ります。
タテ・ヨコに並んだマスがすべて意味のある言葉になるように、番号ごとの文字を見つけてください。
色の違うマス（初期表示のマス）には、はじめから答えの文字が出ています。</p>
<ol>
<li><span class="menu">表示(V)</span> の <span class="menu">文字選択欄(W)</span> で文字選択欄を出します（マスをクリックしても出ます）。</li>
<li>文字選択欄で入れたい文字を左クリックして選びます。すでに使っている文字は色が変わり、選べません。</li>
<li>盤のマスを左クリックすると、そのマスと同じ番号のマスすべてに文字が入ります。選んだマスと同じ番号のマスは色で示されます。</li>
<li>間違えたときは、そのマスを右クリックすると、その番号の文字が消えます。</li>
</ol>
<p><span class="menu">表示(V)</span> の <span class="menu">解答欄(K)</span> で解答欄を出すと、答えの言葉が、入れた文字に合わせて一文字ずつ表示されます。まだ文字の入っていない位置には番号が出ます。</p>

<h3>クロスワード</h3>
<p>言葉の始まりのマスにカギの番号が出ています。番号のマスを右クリックすると、ヒントダイアログにその番号の「たて」と「よこ」のカギが出ます。
文字選択欄で文字を選び、マスを左クリックすると、そのマスにだけ文字が入ります。</p>

<h3>答え合わせ</h3>
<p>すべて入れ終わったら <span class="menu">ﾌｧｲﾙ(F)</span> の <span class="menu">終了確認(C)</span> を選びます。
全部正しければウィンドウの表題に「おめでとう！正解です。」と出て、文字選択欄に正解の絵が出て、正解の音が鳴ります。
どこか違っていれば「残念どこか違ってます。」と出ます。</p>

<h3>途中で保存する</h3>
<p><span class="menu">ｹﾞｰﾑ実行(G)</span> のモードで <span class="menu">上書き保存(S)</span> または <span class="menu">名前を付けて保存(A)</span> を選ぶと、
自分の入力だけが保存されます（問題そのものは変わりません）。次に同じファイルを開くと続きから遊べます。
<span class="menu">初めから(N)</span> を選ぶと、ゲームの入力がすべて消えてやり直しになります。
遊んでいる途中で <span class="menu">ｹﾞｰﾑ実行(G)</span> をもう一度選んでも、入力はそのまま残ります。
<span class="menu">解答(A)</span> や <span class="menu">作成ﾓｰﾄﾞ(C)</span> から <span class="menu">ｹﾞｰﾑ実行(G)</span> に戻ったときは、入力が消えます。</p>

<h2 id="make">問題の作り方</h2>
<p>問題を作る・直すときは、<span class="menu">ﾓｰﾄﾞ(M)</span> の <span class="menu">作成ﾓｰﾄﾞ(C)</span> と <span class="menu">解答(A)</span> を使います。
問題にパスワードが付いているときは、この二つのモードに入るときにパスワードを聞かれます。
ナンクロかクロスワードかは <span class="menu">ナンクロ(N)</span> と <span class="menu">クロスワード(W)</span> で選びます。</p>

<h3>1. 新しい問題を始める</h3>
<p><span class="menu">作成ﾓｰﾄﾞ(C)</span> か <span class="menu">解答(A)</span> のモードで <span class="menu">初めから(N)</span> を選ぶと、「初期設定ダイアログ」が出ます。
ﾊﾟｽﾜｰﾄﾞ（8字まで、空なら無し）、文字数（横×縦、255まで）、タイトルを入れて OK を押すと、その大きさの空の盤になります。
あとから <span class="menu">問題設定値(M)</span> で同じダイアログを出し、パスワードやタイトルを直せます。</p>

<h3>2. 番号を置く（作成ﾓｰﾄﾞ）</h3>
<p><span class="menu">作成ﾓｰﾄﾞ(C)</span> では文字選択欄に番号 0～255 が並びます。番号を左クリックで選び、盤のマスを左クリックするとその番号が置かれます。
マスを右クリックすると空き（黒）マスに戻ります。ナンクロでは同じ文字になるマスに同じ番号を置きます。クロスワードではマスごとに別の番号を置くのがふつうです。</p>

<h3>3. 答えの文字を決める（解答）</h3>
<p><span class="menu">解答(A)</span> のモードでは、文字選択欄で文字を選び、マスを左クリックすると、その番号の答えの文字が決まります。右クリックで取り消せます。
文字選択欄の文字を右クリックすると「文字設定ダイアログ」が出て、その欄の文字を書き換えられます。
ほかの問題の文字の並びを使いたいときは <span class="menu">文字表のみロード</span> で読み込めます。</p>

<h3>4. 初期表示のマスを決める（初期表示指定）</h3>
<p>ナンクロで、はじめから答えを見せておくマスを決めます。<span class="menu">解答(A)</span> のモードで <span class="menu">初期表示指定(I)</span> にチェックを付け、
マスを左クリックすると初期表示のマスになり、右クリックで外れます（32 マスまで）。終わったらチェックを外します。</p>

<h3>5. 答えの言葉を決める</h3>
<p><span class="menu">作成ﾓｰﾄﾞ(C)</span> で解答欄を出し、文字選択欄で番号を選んでから解答欄の位置を左クリックすると、その位置にその番号が入ります（32 文字まで）。
右クリックでその位置を空けます。遊ぶ人には、その番号に入れた文字が解答欄に並び、答えの言葉になります。</p>

<h3>6. クロスワードのカギを書く</h3>
<p><span class="menu">クロスワード(W)</span> にして <span class="menu">解答(A)</span> のモードで、言葉の始まりのマスを右クリックするとヒントダイアログが出ます。
「たて」と「よこ」のカギを書いて OK を押します。番号は空いている欄から順に付きます。両方を空にするとそのカギは消えます。</p>

<h3>7. 保存する</h3>
<p><span class="menu">作成ﾓｰﾄﾞ(C)</span> か <span class="menu">解答(A)</span> のモードで <span class="menu">名前を付けて保存(A)</span> または <span class="menu">上書き保存(S)</span> を選ぶと、
問題全体（盤、答え、文字表、カギ、初期表示、答えの言葉、パスワード）が保存されます。
<span class="menu">ｹﾞｰﾑ実行(G)</span> のモードで保存すると入力だけが保存されるので、問題を作ったあとはモードに気をつけてください。</p>

<h2 id="letters">文字から作る・検証</h2>
<p>番号を一つずつ置く代わりに、答えの文字をそのまま盤に書いて番号を振らせることができます。
<span class="menu">作成ﾓｰﾄﾞ(C)</span> で <span class="menu">文字で作成(L)</span> に印を付けると、盤にマスの文字が出ます。
文字を打つか、文字選択欄で選んでマスをクリックすると、そのマスにその文字が入ります（文字表にない文字は空いている欄に加わります）。
黒マスは # を打つか Delete、または右クリックです。</p>
<p><span class="menu">作成支援(W)</span> の <span class="menu">番号を振る(N)...</span> で、盤の文字ごとに番号 1～N を振ります。
読む順（左上から初めて出た順）か、番号から答えが読めないシャッフルかを選びます。シャッフルは「種」が同じなら同じ番号になります。
「小書きの文字を大きい文字にそろえる」で ッ は ツ、ャ は ヤ として数えます。文字表の並びはそのまま残り、答えの言葉は文字についていきます。
番号を振るのは一つの手順なので、<span class="menu">元に戻す(U)</span> で一度に戻せます。</p>
<p><span class="menu">検証(K)</span>（F7）の窓は、問題のまちがいを一行ずつ出し、変更のたびに見直します。
二つの番号が同じ文字、文字のない番号、1マスにしかない番号、どのマスにもない番号、同じ言葉が二度、答えの言葉や初期表示のマスの指す先がない、
クロスワードのカギのない言葉・言葉の始まらないカギ、そして窓の上で選ぶ黒マスの決まり（一文字だけの語・連黒・四隅黒・三方を囲まれた白マス・分断・点対称・左右対称）です。
行をクリックするとそのマスへカーソルが動きます。番号の文字のまちがいは、そのマスを選んで <span class="menu">文字を直す(F)...</span> で直せます。
一番下に件数が出ます（何もなければ「問題なし」）。</p>

<h2 id="keys">キーボードで入れる</h2>
<p>盤をクリックすると、盤がキーボードを受け取ります（Tab キーでほかの部品に移れます）。</p>
<table>
<tr><th>キー</th><th>はたらき</th></tr>
<tr><td>← → ↑ ↓</td><td>選んでいるマス（カーソル）を動かす。盤が見えないところはスクロールします</td></tr>
<tr><td>Home / End</td><td>行の左端・右端へ</td></tr>
<tr><td>文字</td><td>ｹﾞｰﾑ実行ではそのマスの番号に文字を入れ、次のマスへ進みます（文字選択欄で選んでクリックしたのと同じ）。
ひらがなで打っても、文字表にカタカナしかなければカタカナとして入ります。日本語入力（IME）も使えます。
初期表示のマスには、そこに出ている文字しか入りません（その文字を打つと、クリックしたときと同じくその番号の答えが入ります）。
<span class="menu">解答(A)</span> では答えの文字を決めます</td></tr>
<tr><td>数字</td><td><span class="menu">作成ﾓｰﾄﾞ(C)</span> ではマスの番号（1～254）を置きます。続けて打つと 2 けた・3 けたになり、Enter か矢印で区切ります</td></tr>
<tr><td>Delete / BackSpace</td><td>そのマスの番号の文字（作成ﾓｰﾄﾞでは番号）を消す</td></tr>
<tr><td>Enter</td><td>次のマスへ進む</td></tr>
<tr><td>Space</td><td>進む向きを よこ→ と たて↓ で切り替える</td></tr>
</table>
<p>盤の下の欄に、選んでいるマスの位置と番号、モード、進む向きが出ます。文字表にない文字や初期表示のマスなど、入れられないときはその理由もここに出ます。</p>

<h2 id="undo">元に戻す・やり直す</h2>
<p><span class="menu">編集(E)</span> の <span class="menu">元に戻す(U)</span>（Ctrl+Z）で直前の変更を取り消し、<span class="menu">やり直す(R)</span>（Ctrl+Y または Ctrl+Shift+Z）で取り消した変更をもう一度行います。
マスへの入力、番号、答え、初期表示、カギ、答えの言葉、文字表、タイトル・パスワード、ナンクロ・クロスワードの切り替え、文字表のみロードがそれぞれ一つの手順になります。
遊ぶ人の入力と、問題を作る人の変更は別々に記録されます。ｹﾞｰﾑ実行で元に戻すと入力だけが、解答・作成ﾓｰﾄﾞで元に戻すと問題の変更だけが戻ります。
開く・初めから・新しい大きさで記録は新しくなります。保存していない変更があるあいだは、ウィンドウの表題の前に * が付きます。</p>

<h2 id="zoom">拡大・縮小</h2>
<p><span class="menu">表示(V)</span> の <span class="menu">拡大(I)</span>（Ctrl+=）、<span class="menu">縮小(O)</span>（Ctrl+-）、<span class="menu">等倍(A)</span>（Ctrl+0）で、
盤・文字選択欄・解答欄を 100％、150％、200％、300％、400％ の大きさで表示します。Ctrl キーを押しながらマウスのホイールを回しても変わります。
マスの色と番号はにじまずにそのまま大きくなり、文字はその大きさのフォントで描き直されます。
ウィンドウの大きさは変わらず、入りきらないところはスクロールで見ます。表示の大きさは TEKUINI.INI の ZOOM に保存され、次に起動したときも同じ大きさで始まります。
文字の大きさそのものは <span class="menu">文字ﾌｫﾝﾄ変更(F)</span> で選んだフォントの大きさになります。</p>

<h2 id="unique">一意性チェック</h2>
<p>ナンクロを <span class="menu">作成ﾓｰﾄﾞ(C)</span> か <span class="menu">解答(A)</span> のモードで開き、<span class="menu">作成支援(W)</span> の <span class="menu">一意性チェック(U)</span> を選ぶと、
数字に文字を当てはめるやり方（同じ数字は同じ文字、違う数字は違う文字）で、縦横のすべての言葉が単語リストの言葉になるものを探し、解が一つだけかどうかを知らせます。
ほかの解があるときは、文字の変わる数字（盤に赤い枠で示します）と変わる言葉を、解がないときは言葉の入らない場所を示します。探している間は <span class="menu">中止</span> で止められます。</p>
<p><span class="menu">ヒントを提案(S)</span> は、解が一つだけになるように初期表示のマスを足します。足したマスは <span class="menu">元に戻す(U)</span> 一回でまとめて取り消せます。</p>
<p>結果は使っている単語リストについてのものです。単語リストは辞書 IPADIC の名詞の読み（カタカナ）から作った TEKUWORD.DIC と、問題そのものの言葉です。
自分の言葉を足すには、設定のフォルダに TEKUWORD.TXT を作り、一行に一語ずつ（UTF-8、ひらがなも可）書きます。</p>

<h2>印刷と書き出し</h2>
<p><span class="menu">ﾌｧｲﾙ(F)</span> の <span class="menu">印刷(P)...</span> で、雑誌のような紙面（題名、盤、ナンクロでは対応表・チェック表・解答欄、クロスワードではたてのカギ・よこのカギ）を印刷します。
用紙（A4・B5）、向き、大きな文字、解答のページを選べ、印刷の前にプレビューで確かめられます。プリンターがないときは PDF ファイルに印刷します。
同じ紙面は <span class="menu">エクスポート(X)</span> から PDF・PNG・SVG にも書き出せます。<span class="menu">ipuz(I)...</span> はほかのパズルソフトで開ける ipuz ファイルを書き出します（パスワードは書き出されません）。</p>

<h2 id="menu">メニュー一覧</h2>
<table>
<tr><th>メニュー</th><th>項目</th><th>はたらき</th></tr>
<tr><td rowspan="10" class="menu">ﾌｧｲﾙ(F)</td><td class="menu">開く(O)</td><td>問題ファイル（.CRS）か ipuz ファイルを開く</td></tr>
<tr><td class="menu">最近使ったファイル(R)</td><td>最近開いた問題（8つまで）をもう一度開く</td></tr>
<tr><td class="menu">上書き保存(S)</td><td>今のファイルに保存する（ゲーム中は入力だけ）</td></tr>
<tr><td class="menu">名前を付けて保存(A)</td><td>名前を付けて保存する</td></tr>
<tr><td class="menu">エクスポート(X)</td><td>ipuz（ほかのパズルソフト用）・PDF・PNG・SVG に書き出す</td></tr>
<tr><td class="menu">初めから(N)</td><td>ゲーム中は入力を消す。作成ﾓｰﾄﾞ・解答では新しい問題を始める</td></tr>
<tr><td class="menu">文字表のみロード</td><td>ほかの問題ファイルから文字表だけを読む（ゲーム中は使えません）</td></tr>
<tr><td class="menu">終了確認(C)</td><td>答え合わせ</td></tr>
<tr><td class="menu">印刷(P)...</td><td>問題を紙に印刷する（プレビュー付き、Ctrl+P）</td></tr>
<tr><td class="menu">終了(E)</td><td>プログラムを終わる（問題は保存されません）</td></tr>
<tr><td rowspan="2" class="menu">編集(E)</td><td class="menu">元に戻す(U)</td><td>直前の変更を取り消す（Ctrl+Z）</td></tr>
<tr><td class="menu">やり直す(R)</td><td>取り消した変更をもう一度行う（Ctrl+Y）</td></tr>
<tr><td rowspan="8" class="menu">ﾓｰﾄﾞ(M)</td><td class="menu">ｹﾞｰﾑ実行(G)</td><td>遊ぶモード</td></tr>
<tr><td class="menu">解答(A)</td><td>答えの文字・初期表示・カギを決めるモード</td></tr>
<tr><td class="menu">作成ﾓｰﾄﾞ(C)</td><td>番号と答えの言葉を置くモード</td></tr>
<tr><td class="menu">ナンクロ(N)</td><td>ナンクロとして扱う</td></tr>
<tr><td class="menu">クロスワード(W)</td><td>クロスワードとして扱う</td></tr>
<tr><td class="menu">初期表示指定(I)</td><td>解答モードのナンクロで、初期表示のマスを決める</td></tr>
<tr><td class="menu">音響(O)</td><td>音の入・切。入れると「音設定」で音楽・効果音・正解の絵のファイルを選べます</td></tr>
<tr><td class="menu">文字で作成(L)</td><td>作成ﾓｰﾄﾞで、番号の代わりに答えの文字をマスに書く</td></tr>
<tr><td rowspan="7" class="menu">表示(V)</td><td class="menu">文字選択欄(W)</td><td>文字選択欄を出す・隠す</td></tr>
<tr><td class="menu">解答欄(K)</td><td>解答欄を出す・隠す</td></tr>
<tr><td class="menu">問題設定値(M)</td><td>初期設定ダイアログを出す・隠す</td></tr>
<tr><td class="menu">文字ﾌｫﾝﾄ変更(F)</td><td>盤と文字選択欄の文字のフォントと大きさを変える</td></tr>
<tr><td class="menu">拡大(I)</td><td>盤と欄を一段大きく表示する（Ctrl+=）</td></tr>
<tr><td class="menu">縮小(O)</td><td>一段小さく表示する（Ctrl+-）</td></tr>
<tr><td class="menu">等倍(A)</td><td>100％に戻す（Ctrl+0）</td></tr>
<tr><td rowspan="2" class="menu">ﾍﾙﾌﾟ(H)</td><td class="menu">ﾍﾙﾌﾟ表示(H)</td><td>このヘルプ</td></tr>
<tr><td class="menu">ﾊﾞｰｼﾞｮﾝ情報(V)</td><td>版の情報</td></tr>
<tr><td rowspan="4" class="menu">作成支援(W)</td><td class="menu">番号を振る(N)...</td><td>盤の文字に番号を振る（読む順かシャッフル）</td></tr>
<tr><td class="menu">検証(K)</td><td>問題のまちがいの一覧を出す（F7）</td></tr>
<tr><td class="menu">一意性チェック(U)</td><td>ナンクロの解が一つだけか調べる（作成ﾓｰﾄﾞ・解答）</td></tr>
<tr><td class="menu">ヒントを提案(S)</td><td>解が一つだけになる初期表示のマスを足す</td></tr>
</table>

<h2>設定とファイル</h2>
<p>ウィンドウの位置や音の設定などは TEKUINI.INI に保存されます（はじめて起動したときに作られます）。
書き込めるフォルダに置いたプログラムではプログラムと同じフォルダ、インストールしたプログラムでは ~/.config/tekucros/ です。
問題ファイルはどのフォルダにも読み書きできます。</p>
</body>
</html>
)HTML";

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_help PROGRAM_DIR\n");
    return 2;
  }
  const std::string path = std::string(argv[1]) + "/TEKUCROS.HLP";
  const std::string temp = path + ".tmp";
  const std::string text = kHelp;
  std::FILE* f = std::fopen(temp.c_str(), "wb");
  bool ok = f != nullptr;
  if (ok) {
    ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    ok = std::fclose(f) == 0 && ok;
    ok = ok && std::rename(temp.c_str(), path.c_str()) == 0;
    if (!ok) std::remove(temp.c_str());
  }
  if (!ok) {
    std::fprintf(stderr, "make_help: cannot write %s\n", path.c_str());
    return 1;
  }
  return 0;
}
