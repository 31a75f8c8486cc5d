<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_TW">
<context>
    <name>BoardSession</name>
    <message>
        <source>%1 bytes for %2 were not delivered: the line took none for too long.</source>
        <translation>有 %1 個位元組沒有送到 %2：線路太久沒有收下任何資料。</translation>
    </message>
    <message>
        <source>the line was lost</source>
        <translation>線路中斷</translation>
    </message>
    <message>
        <source>the line took none of them in time</source>
        <translation>線路未能及時送出任何一項</translation>
    </message>
    <message>
        <source>Changes did not reach the board on %1 (%2 of them): %3. The next start shows what the lamps show.</source>
        <translation>有變更未送到 %1 上的調光器（共 %2 項）：%3。下次啟動時會顯示燈具實際的狀態。</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>The argument &quot;%1&quot; is not valid text in the system&apos;s encoding, so the file or device it names cannot be opened by that name. Rename it, or name it through a symbolic link whose path is valid text.</source>
        <translation>引數「%1」不是系統編碼下有效的文字，因此無法以這個名稱開啟它所指的檔案或裝置。請將它改名，或透過路徑為有效文字的符號連結來指定它。</translation>
    </message>
    <message>
        <source>Displays help on commandline options.</source>
        <translation>顯示命令列選項的說明。</translation>
    </message>
    <message>
        <source>Unexpected argument &apos;%1&apos;.</source>
        <translation>多餘的引數「%1」。</translation>
    </message>
</context>
<context>
    <name>CueFile</name>
    <message>
        <source>it is not a cue list of the panel&apos;s</source>
        <translation>它不是本面板的序列檔</translation>
    </message>
    <message>
        <source>a newer version of the panel wrote it (version %1; this one reads %2)</source>
        <translation>它由較新版本的面板寫成（版本 %1；本版本讀取 %2）</translation>
    </message>
    <message>
        <source>line %1 is no cue as the panel writes it</source>
        <translation>第 %1 行不是面板所寫的序列格式</translation>
    </message>
    <message>
        <source>line %1 is out of the order of the cues&apos; numbers</source>
        <translation>第 %1 行的序號不合順序</translation>
    </message>
    <message>
        <source>it is not a plain file</source>
        <translation>它不是一般的檔案</translation>
    </message>
    <message>
        <source>it holds %1 bytes, far more than any cue list</source>
        <translation>它有 %1 位元組，遠超過任何序列檔</translation>
    </message>
    <message>
        <source>The cue list %1 could not be read: %2. It was moved to %3, and the cue list starts empty.</source>
        <translation>無法讀取序列檔 %1：%2。已將它移到 %3，序列從空白開始。</translation>
    </message>
    <message>
        <source>The cue list %1 could not be read: %2. It could not be moved aside either, so the panel will not write over it: cues recorded now are not kept.</source>
        <translation>無法讀取序列檔 %1：%2。也無法將它移開，因此面板不會覆寫它：現在記錄的序列不會被保存。</translation>
    </message>
    <message>
        <source>The cue list could not be kept in %1: %2.</source>
        <translation>序列無法保存在 %1：%2。</translation>
    </message>
</context>
<context>
    <name>CueWindow</name>
    <message>
        <source>Cue list</source>
        <translation>序列</translation>
    </message>
    <message>
        <source>Cue</source>
        <translation>序號</translation>
    </message>
    <message>
        <source>Label</source>
        <translation>名稱</translation>
    </message>
    <message>
        <source>Up s</source>
        <translation>漸亮秒數</translation>
    </message>
    <message>
        <source>Down s</source>
        <translation>漸暗秒數</translation>
    </message>
    <message>
        <source>Wait s</source>
        <translation>等待秒數</translation>
    </message>
    <message>
        <source>Follow s</source>
        <translation>接續秒數</translation>
    </message>
    <message>
        <source>standby</source>
        <translation>待命</translation>
    </message>
    <message>
        <source>GO</source>
        <translation>GO</translation>
    </message>
    <message>
        <source>Start the standby cue, or resume a paused one (G)</source>
        <translation>執行待命的序列，或繼續暫停的序列（G）</translation>
    </message>
    <message>
        <source>BACK</source>
        <translation>BACK</translation>
    </message>
    <message>
        <source>Go to the cue before the current one (Shift+G)</source>
        <translation>回到目前序列的前一個（Shift+G）</translation>
    </message>
    <message>
        <source>PAUSE</source>
        <translation>PAUSE</translation>
    </message>
    <message>
        <source>Hold the running cue where it stands (P)</source>
        <translation>讓進行中的序列停在目前位置（P）</translation>
    </message>
    <message>
        <source>Record new</source>
        <translation>記錄新序列</translation>
    </message>
    <message>
        <source>Record the current levels as a new cue after the last</source>
        <translation>將目前亮度記錄為最後一個之後的新序列</translation>
    </message>
    <message>
        <source>Record over</source>
        <translation>覆寫記錄</translation>
    </message>
    <message>
        <source>Record the current levels over the selected cue</source>
        <translation>以目前亮度覆寫所選的序列</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>刪除</translation>
    </message>
    <message>
        <source>Delete the selected cue</source>
        <translation>刪除所選的序列</translation>
    </message>
    <message>
        <source>paused</source>
        <translation>暫停</translation>
    </message>
    <message>
        <source>running</source>
        <translation>進行中</translation>
    </message>
    <message>
        <source>current</source>
        <translation>目前</translation>
    </message>
    <message>
        <source>Current: %1    Standby: %2</source>
        <translation>目前：%1    待命：%2</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is no number or time for this cue (numbers 0.1 to 9999.9, free; times 0 to 600 seconds, in tenths).</source>
        <translation>「%1」不是此序列可用的序號或時間（序號 0.1 至 9999.9，不可重複；時間 0 至 600 秒，以 0.1 秒為單位）。</translation>
    </message>
    <message>
        <source>Delete cue %1?</source>
        <translation>刪除序列 %1？</translation>
    </message>
    <message>
        <source>Double-click a cue&apos;s number, label or time to change it; an empty follow time means the next cue waits for GO. Double-click left of the number to run that cue now.</source>
        <translation>雙擊序號、名稱或時間即可修改；接續時間空白表示下一個序列等待 GO。雙擊序號左邊即可立刻執行該序列。</translation>
    </message>
</context>
<context>
    <name>DmxCounts</name>
    <message>
        <source>sACN: %1 packets taken, %2 ends of stream; ignored: %3 while a window was up, %4 short, %5 long, %6 wrong identifiers, %7 wrong vectors, %8 wrong lengths, %9 other universes, %10 over 512 slots, %11 other start codes, %12 priorities over 200, %13 preview data, %14 out of sequence, %15 beyond %16 sources, %17 synchronisation or discovery</source>
        <translation>sACN：採用 %1 個封包，%2 次串流結束；忽略：視窗開啟時 %3 個、過短 %4 個、過長 %5 個、識別碼錯誤 %6 個、向量錯誤 %7 個、長度不符 %8 個、其他 Universe %9 個、超過 512 個位址 %10 個、其他起始碼 %11 個、優先權超過 200 的 %12 個、預覽資料 %13 個、順序錯亂 %14 個、超出 %16 個來源的 %15 個、同步或探索 %17 個</translation>
    </message>
    <message>
        <source>Art-Net: %1 packets taken, %2 polls answered; ignored: %3 while a window was up, %4 short, %5 long, %6 wrong identifiers, %7 versions before 14, %8 other universes, %9 over 512 slots, %10 beyond %11 sources, %12 polls over %13 a second, %14 of the panel&apos;s own replies, %15 other operations</source>
        <translation>Art-Net：採用 %1 個封包，回覆 %2 次輪詢；忽略：視窗開啟時 %3 個、過短 %4 個、過長 %5 個、識別碼錯誤 %6 個、版本早於 14 的 %7 個、其他 Universe %8 個、超過 512 個位址 %9 個、超出 %11 個來源的 %10 個、每秒超過 %13 次的輪詢 %12 個、控制台自己的回覆 %14 個、其他操作 %15 個</translation>
    </message>
</context>
<context>
    <name>DmxPatch</name>
    <message>
        <source>one slash at most, before the first slot</source>
        <translation>最多只能有一個斜線，寫在起始位址之前</translation>
    </message>
    <message>
        <source>the first slot is 1..%1, so that all eight channels fit in the universe&apos;s %2 slots</source>
        <translation>起始位址為 1..%1，八路才能都落在 Universe 的 %2 個位址之內</translation>
    </message>
    <message>
        <source>an sACN universe is 1..%1</source>
        <translation>sACN 的 Universe 為 1..%1</translation>
    </message>
    <message>
        <source>in NET:SUB:UNI, NET is 0..127, SUB and UNI 0..15</source>
        <translation>NET:SUB:UNI 中，NET 為 0..127，SUB 與 UNI 為 0..15</translation>
    </message>
    <message>
        <source>an Art-Net port-address is 0..%1, or NET:SUB:UNI</source>
        <translation>Art-Net 的 Port-Address 為 0..%1，或寫成 NET:SUB:UNI</translation>
    </message>
</context>
<context>
    <name>DmxSocket</name>
    <message>
        <source>no such interface</source>
        <translation>沒有這個網路介面</translation>
    </message>
    <message>
        <source>no interface is up</source>
        <translation>沒有已啟用的網路介面</translation>
    </message>
</context>
<context>
    <name>Form1</name>
    <message>
        <source>Scene %1 in %2 holds the level %3 for channel %4 (%5); levels run from %6 to %7. The scene was not recalled and nothing was sent.</source>
        <translation>%2 中的場景 %1 把第 %4 路（%5）的亮度存為 %3；亮度應在 %6 到 %7 之間。這個場景沒有載入，也沒有送出任何資料。</translation>
    </message>
    <message>
        <source>Blackout (B): every channel to 0. Again: the levels from before come back.</source>
        <translation>全暗（B）：所有調光歸 0。再按一次：恢復先前的亮度。</translation>
    </message>
    <message>
        <source>Send the mode and every level to the board again, as for a board that was switched off and on.</source>
        <translation>把模式與每一路的亮度重新傳給調光器，例如調光器關機後重新開機時。</translation>
    </message>
    <message>
        <source>Fade time of a recall, in seconds: each channel moves from where it stands to the scene&apos;s level over this time. 0 cuts at once.</source>
        <translation>叫出場景的淡變秒數：每一路會在這段時間內從目前的亮度直線移到場景的亮度。0 表示立即切換。</translation>
    </message>
    <message>
        <source>Take back the last change of levels (Ctrl+Z)</source>
        <translation>復原上一次亮度的變更（Ctrl+Z）</translation>
    </message>
    <message>
        <source>Bring back what was taken back (Ctrl+Shift+Z)</source>
        <translation>重做剛才復原的變更（Ctrl+Shift+Z）</translation>
    </message>
    <message>
        <source>Scene %1 was live; levels have changed since.</source>
        <translation>場景 %1 曾在使用中；之後亮度已有變更。</translation>
    </message>
    <message>
        <source>Scene %1 is live.</source>
        <translation>場景 %1 使用中。</translation>
    </message>
    <message>
        <source>Show the code that a phone scans to join the web remote.</source>
        <translation>顯示手機掃描後加入網頁遙控的條碼。</translation>
    </message>
    <message>
        <source>Fading to %1: %2%</source>
        <translation>淡變至 %1：%2%</translation>
    </message>
    <message>
        <source>A recall of scene %1 is fading: %2% of its time has passed.</source>
        <translation>正在淡變至場景 %1：已過淡變時間的 %2%。</translation>
    </message>
    <message>
        <source>Fading to scene %1: %2% of the fade time has passed.</source>
        <translation>正在淡變至場景 %1：已過淡變時間的 %2%。</translation>
    </message>
    <message>
        <source>The cue list: a show of numbered looks run in order with GO (G)</source>
        <translation>序列：依序號排列的燈光畫面，以 GO（G）依序執行</translation>
    </message>
</context>
<context>
    <name>JoinDialog</name>
    <message>
        <source>Phone remote</source>
        <translation>手機遙控</translation>
    </message>
    <message>
        <source>Scan the code with the phone&apos;s camera and open the page. The phone must be on a network that reaches this computer.</source>
        <translation>用手機相機掃描條碼並開啟網頁。手機必須在連得到這台電腦的網路上。</translation>
    </message>
    <message>
        <source>New token</source>
        <translation>更換存取碼</translation>
    </message>
    <message>
        <source>Make a new access token: every phone that joined with this one is dropped and must scan the new code.</source>
        <translation>產生新的存取碼：用目前存取碼加入的手機都會斷線，必須掃描新的條碼。</translation>
    </message>
    <message>
        <source>Page: %1</source>
        <translation>網頁：%1</translation>
    </message>
    <message>
        <source>Access token: %1</source>
        <translation>存取碼：%1</translation>
    </message>
    <message>
        <source>Make a new access token? Every phone that joined is dropped until it scans the new code.</source>
        <translation>要產生新的存取碼嗎？已加入的手機都會斷線，直到掃描新的條碼。</translation>
    </message>
    <message>
        <source>This address is reachable from this computer only. To join from a phone, start the panel with --web ADDRESS:PORT, naming its address on the phone&apos;s network.</source>
        <translation>這個位址只有本機連得到。要從手機加入，請以 --web ADDRESS:PORT 啟動控制台，指定它在手機所在網路上的位址。</translation>
    </message>
</context>
<context>
    <name>LampMemory</name>
    <message>
        <source>the line &quot;%1&quot; is no field, or a field twice</source>
        <translation>「%1」這一行不是欄位，或是重複的欄位</translation>
    </message>
    <message>
        <source>it has no %1</source>
        <translation>它沒有 %1</translation>
    </message>
    <message>
        <source>a level or the mode is out of range</source>
        <translation>有亮度或模式超出範圍</translation>
    </message>
    <message>
        <source>it has a field the panel does not write</source>
        <translation>它有控制台不會寫入的欄位</translation>
    </message>
    <message>
        <source>What the board on %1 last showed could not be read from %2: %3. The panel starts with every level at 0.</source>
        <translation>無法從 %2 讀取 %1 上的調光器最後的狀態：%3。控制台以所有亮度為 0 開始。</translation>
    </message>
    <message>
        <source>What the board on %1 last showed could not be read from %2: %3. It was moved to %4, and the panel starts with every level at 0.</source>
        <translation>無法從 %2 讀取 %1 上的調光器最後的狀態：%3。該檔案已移到 %4，控制台以所有亮度為 0 開始。</translation>
    </message>
    <message>
        <source>the program on the far side is not told as the panel writes it</source>
        <translation>另一端的程式不是以控制台寫入的格式記錄</translation>
    </message>
    <message>
        <source>the count of changes not sent is out of range</source>
        <translation>未送出的變更數超出範圍</translation>
    </message>
    <message>
        <source>What the board on %1 shows could not be kept in %2: %3. The panel carries on and tries again; were it closed now, its next start would not know what the lamps show.</source>
        <translation>無法將 %1 上調光器的狀態保存到 %2：%3。控制台繼續運作並會再試；若現在關閉，下次啟動時將不知道燈具的狀態。</translation>
    </message>
</context>
<context>
    <name>LineStatus</name>
    <message>
        <source>Line: not open</source>
        <translation>線路：未開啟</translation>
    </message>
    <message>
        <source>Line %1: up</source>
        <translation>線路 %1：正常</translation>
    </message>
    <message>
        <source>Line %1: waiting</source>
        <translation>線路 %1：等待中</translation>
    </message>
    <message>
        <source>Line %1: lost</source>
        <translation>線路 %1：已中斷</translation>
    </message>
    <message>
        <source>Line %1: lost, 1 change waiting</source>
        <translation>線路 %1：已中斷，1 項變更待送</translation>
    </message>
    <message>
        <source>Line %1: lost, %2 changes waiting</source>
        <translation>線路 %1：已中斷，%2 項變更待送</translation>
    </message>
    <message>
        <source>%1; not kept</source>
        <translation>%1；狀態未保存</translation>
    </message>
    <message>
        <source>Lost: %1. The panel waits for %2 to come back; every change is kept, and the mode and the levels go to the board again as soon as the line is back.</source>
        <translation>已中斷：%1。控制台等待 %2 恢復；每項變更都會保留，線路一恢復就重新傳送模式與各路亮度。</translation>
    </message>
    <message>
        <source>Lost: %1. A pseudo-terminal&apos;s number goes to whichever program asks next, so the panel does not take it back by itself: 全部重送 (send all) opens it again. Every change is kept until then.</source>
        <translation>已中斷：%1。虛擬終端的編號會交給下一個要求的程式，所以控制台不會自行重新開啟：按「全部重送」可重新開啟。在那之前每項變更都會保留。</translation>
    </message>
</context>
<context>
    <name>MidiCounts</name>
    <message>
        <source>MIDI: %1 messages taken, %2 button releases; ignored: %3 while a window was up, %4 fader moves waiting for pickup, %5 unmapped, %6 while learning, %7 SysEx, %8 real-time and system, %9 stray bytes, %10 cut short, %11 beyond the panel&apos;s queue; %12 pairs learned; a surface went away %13 times</source>
        <translation>MIDI：接受 %1 則訊息，%2 次按鈕放開；忽略：視窗開啟時 %3 則，推桿等待接手時的移動 %4 則，未對應 %5 則，學習中 %6 則，SysEx %7 則，即時與系統訊息 %8 則，零散位元組 %9 個，中斷的訊息 %10 則，超出控制台佇列 %11 則；學到 %12 組對應；控制器離線 %13 次</translation>
    </message>
</context>
<context>
    <name>MidiInput</name>
    <message>
        <source>MIDI: no input&apos;s name holds &quot;%1&quot; yet; the panel takes it as soon as it comes (--midi-list lists them).</source>
        <translation>MIDI：目前沒有名稱含「%1」的輸入；一出現控制台就會接上（--midi-list 可列出輸入）。</translation>
    </message>
    <message>
        <source>MIDI: %1 went away; the panel takes it back when it returns.</source>
        <translation>MIDI：%1 已離線；它回來時控制台會重新接上。</translation>
    </message>
    <message>
        <source>MIDI: %1 opened, with no output for its lights and motors.</source>
        <translation>MIDI：已開啟 %1，沒有可送燈號與馬達推桿的輸出。</translation>
    </message>
    <message>
        <source>MIDI: %1 opened, its lights and motors on %2.</source>
        <translation>MIDI：已開啟 %1，燈號與馬達推桿經由 %2。</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1：%2</translation>
    </message>
    <message>
        <source>Learned %1, kept in %2.</source>
        <translation>已學到 %1，存於 %2。</translation>
    </message>
    <message>
        <source>Learned %1 for this run; it cannot be kept in %2: %3</source>
        <translation>已學到 %1，僅限這次執行；無法存入 %2：%3</translation>
    </message>
    <message>
        <source>MIDI: the pair learned cannot be kept in %1: %2</source>
        <translation>MIDI：學到的對應無法存入 %1：%2</translation>
    </message>
</context>
<context>
    <name>MidiMarks</name>
    <message>
        <source>MIDI learn: touch a control of the panel and move one of the surface, in either order, to pair them; press again to end.</source>
        <translation>MIDI 學習：操作控制台上的一個控制項，再動一下控制器上的一個控制項（先後皆可），兩者就配成一組；再按一次結束。</translation>
    </message>
    <message>
        <source>Touch another control of the panel and move one of the surface to pair them too; press again to end.</source>
        <translation>再操作控制台上的另一個控制項並動一下控制器上的一個，也可配成一組；再按一次結束。</translation>
    </message>
</context>
<context>
    <name>MidiPort</name>
    <message>
        <source>The MIDI system (%1) cannot be opened: %2</source>
        <translation>無法開啟 MIDI 系統（%1）：%2</translation>
    </message>
    <message>
        <source>The panel&apos;s own MIDI port %1 cannot be offered: %2</source>
        <translation>無法提供控制台自己的 MIDI 連接埠 %1：%2</translation>
    </message>
</context>
<context>
    <name>MidiProfile</name>
    <message>
        <source>it is not a plain file</source>
        <translation>它不是一般檔案</translation>
    </message>
    <message>
        <source>there is no such file, and no built-in profile of that name (%1)</source>
        <translation>沒有這個檔案，也沒有這個名稱的內建設定檔（%1）</translation>
    </message>
    <message>
        <source>The MIDI profile %1 cannot be used: %2</source>
        <translation>無法使用 MIDI 設定檔 %1：%2</translation>
    </message>
    <message>
        <source>note %1 on channel %2</source>
        <translation>MIDI 頻道 %2 的音符 %1</translation>
    </message>
    <message>
        <source>CC %1 on channel %2</source>
        <translation>MIDI 頻道 %2 的 CC %1</translation>
    </message>
    <message>
        <source>channel %1</source>
        <translation>第 %1 路</translation>
    </message>
    <message>
        <source>the master</source>
        <translation>調光全</translation>
    </message>
    <message>
        <source>channel %1 full on</source>
        <translation>第 %1 路全開</translation>
    </message>
    <message>
        <source>channel %1 off</source>
        <translation>第 %1 路全關</translation>
    </message>
    <message>
        <source>master full on</source>
        <translation>調光全全開</translation>
    </message>
    <message>
        <source>all off</source>
        <translation>全部關閉</translation>
    </message>
    <message>
        <source>scene %1</source>
        <translation>場景 %1</translation>
    </message>
    <message>
        <source>mode %1</source>
        <translation>模式 %1</translation>
    </message>
    <message>
        <source>blackout</source>
        <translation>全暗</translation>
    </message>
    <message>
        <source>undo</source>
        <translation>復原</translation>
    </message>
    <message>
        <source>redo</source>
        <translation>重做</translation>
    </message>
    <message>
        <source>GO</source>
        <translation>GO</translation>
    </message>
    <message>
        <source>BACK</source>
        <translation>BACK</translation>
    </message>
    <message>
        <source>PAUSE</source>
        <translation>PAUSE</translation>
    </message>
    <message>
        <source>send all</source>
        <translation>全部重送</translation>
    </message>
    <message>
        <source>send settings</source>
        <translation>傳送設定</translation>
    </message>
    <message>
        <source>a line starts with cc, note, send or name, not &quot;%1&quot;</source>
        <translation>每行應以 cc、note、send 或 name 開頭，而不是「%1」</translation>
    </message>
    <message>
        <source>a MIDI channel is 1 to 16</source>
        <translation>MIDI 頻道應為 1 到 16</translation>
    </message>
    <message>
        <source>a controller or note number is 0 to 127</source>
        <translation>控制器或音符編號應為 0 到 127</translation>
    </message>
    <message>
        <source>motor is for a fader (channel or master)</source>
        <translation>motor 只用於推桿（調光或調光全）</translation>
    </message>
    <message>
        <source>led is for a button, not a fader</source>
        <translation>led 用於按鈕，不用於推桿</translation>
    </message>
    <message>
        <source>led: %1 has no state for a light to show</source>
        <translation>led：%1 沒有可讓燈號顯示的狀態</translation>
    </message>
    <message>
        <source>%1 comes after led</source>
        <translation>%1 應寫在 led 之後</translation>
    </message>
    <message>
        <source>a light&apos;s value is 0 to 127</source>
        <translation>燈號的數值應為 0 到 127</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is no option of a control (motor, led, lit, dark, changed)</source>
        <translation>「%1」不是控制項的選項（motor、led、lit、dark、changed）</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is no action of the panel</source>
        <translation>「%1」不是控制台的動作</translation>
    </message>
    <message>
        <source>%1 takes a number from 1 to %2</source>
        <translation>%1 後面應為 1 到 %2 的數字</translation>
    </message>
    <message>
        <source>a note is a button: a fader takes control changes</source>
        <translation>音符是按鈕：推桿應使用控制變更（CC）</translation>
    </message>
    <message>
        <source>send takes bytes in hexadecimal, 00 to FF</source>
        <translation>send 後面應為十六進位的位元組，00 到 FF</translation>
    </message>
    <message>
        <source>a message to send is at most %1 bytes</source>
        <translation>要送出的訊息最多 %1 個位元組</translation>
    </message>
    <message>
        <source>send takes one whole message: a channel message, or a system exclusive from F0 to F7</source>
        <translation>send 後面應為一則完整的訊息：頻道訊息，或從 F0 到 F7 的系統專用訊息</translation>
    </message>
    <message>
        <source>it holds %1 bytes, more than a profile&apos;s %2</source>
        <translation>它有 %1 個位元組，超過設定檔上限 %2</translation>
    </message>
    <message>
        <source>line %1: %2</source>
        <translation>第 %1 行：%2</translation>
    </message>
    <message>
        <source>a profile begins with &quot;%1 %2&quot;</source>
        <translation>設定檔應以「%1 %2」開頭</translation>
    </message>
    <message>
        <source>written by a newer version of the panel (profile %1)</source>
        <translation>由較新版本的控制台寫成（設定檔版本 %1）</translation>
    </message>
    <message>
        <source>at most %1 messages to send</source>
        <translation>最多只能送出 %1 則訊息</translation>
    </message>
    <message>
        <source>%1 is mapped twice</source>
        <translation>%1 對應了兩次</translation>
    </message>
    <message>
        <source>it is empty: a profile begins with &quot;%1 %2&quot;</source>
        <translation>它是空的：設定檔應以「%1 %2」開頭</translation>
    </message>
</context>
<context>
    <name>NetworkInput</name>
    <message>
        <source>Cannot listen for sACN on UDP port %1: %2</source>
        <translation>無法在 UDP 埠 %1 接收 sACN：%2</translation>
    </message>
    <message>
        <source>Cannot join sACN universe %1&apos;s multicast group %2: %3</source>
        <translation>無法加入 sACN Universe %1 的群播群組 %2：%3</translation>
    </message>
    <message>
        <source>Cannot listen for Art-Net on UDP port %1: %2</source>
        <translation>無法在 UDP 埠 %1 接收 Art-Net：%2</translation>
    </message>
    <message>
        <source>1 source</source>
        <translation>1 個來源</translation>
    </message>
    <message>
        <source>%1 sources</source>
        <translation>%1 個來源</translation>
    </message>
    <message>
        <source>waiting</source>
        <translation>等待中</translation>
    </message>
    <message>
        <source>ended</source>
        <translation>已結束</translation>
    </message>
    <message>
        <source>lost</source>
        <translation>已中斷</translation>
    </message>
    <message>
        <source>slots %1 to %2 on channels 1 to 8</source>
        <translation>位址 %1 到 %2 對應第 1 到第 8 路</translation>
    </message>
    <message>
        <source>sACN universe %1, %2: UDP port %3, and multicast group %4 on %5.</source>
        <translation>sACN Universe %1，%2：UDP 埠 %3，以及 %5 上的群播群組 %4。</translation>
    </message>
    <message>
        <source>Art-Net port-address %1 (%2), %3: UDP port %4 on every address.</source>
        <translation>Art-Net Port-Address %1（%2），%3：所有位址上的 UDP 埠 %4。</translation>
    </message>
    <message>
        <source>%1 (priority %2)</source>
        <translation>%1（優先權 %2）</translation>
    </message>
    <message>
        <source>Sources: %1.</source>
        <translation>來源：%1。</translation>
    </message>
    <message>
        <source>The last source ended its stream at %1.</source>
        <translation>最後一個來源在 %1 結束了串流。</translation>
    </message>
    <message>
        <source>The last source fell silent at %1.</source>
        <translation>最後一個來源在 %1 之後沒有再傳送。</translation>
    </message>
    <message>
        <source>The lamps hold their levels.</source>
        <translation>燈具維持目前的亮度。</translation>
    </message>
    <message>
        <source>No source has been heard yet.</source>
        <translation>尚未收到任何來源。</translation>
    </message>
</context>
<context>
    <name>Options</name>
    <message>
        <source>Control panel for the eight-channel dimmer board on a serial port.</source>
        <translation>串列埠上八路調光器的控制台。</translation>
    </message>
    <message>
        <source>The board&apos;s serial device. Without it, the port that opened last, else %1 (the fourth serial port); when that will not open, a dialog asks.</source>
        <translation>調光器的串列裝置。未指定時，使用上次開啟的連接埠，否則使用 %1（第四個串列埠）；無法開啟時會出現對話框詢問。</translation>
    </message>
    <message>
        <source>The file of the twelve stored scenes (default %1).</source>
        <translation>存放十二個場景的檔案（預設為 %1）。</translation>
    </message>
    <message>
        <source>Show the port dialog first, even when the last port can be opened.</source>
        <translation>即使上次的連接埠可以開啟，也先顯示連接埠對話框。</translation>
    </message>
    <message>
        <source>--scene-file needs a file name.</source>
        <translation>--scene-file 需要一個檔名。</translation>
    </message>
    <message>
        <source>--port needs a device name.</source>
        <translation>--port 需要一個裝置名稱。</translation>
    </message>
    <message>
        <source>--choose-port asks for the dialog, --port names the port: give one.</source>
        <translation>--choose-port 要求顯示對話框，--port 直接指定連接埠：請只用其中一個。</translation>
    </message>
    <message>
        <source>--osc %1: %2.</source>
        <translation>--osc %1：%2。</translation>
    </message>
    <message>
        <source>--osc-feedback %1: %2.</source>
        <translation>--osc-feedback %1：%2。</translation>
    </message>
    <message>
        <source>--osc-feedback sends to a remote control that --osc lets in: give --osc too.</source>
        <translation>--osc-feedback 是傳給由 --osc 接入的遙控器：請同時指定 --osc。</translation>
    </message>
    <message>
        <source>Take remote control by OSC messages over UDP on PORT, at the local ADDRESS (default %1: this computer only; name an address of a network to be reached from it).</source>
        <translation>在本機 ADDRESS（預設 %1：僅限本機；要從網路上遙控，請指定該網路上的位址）的 UDP 連接埠 PORT 上接收 OSC 訊息，接受遙控。</translation>
    </message>
    <message>
        <source>--osc-feedback %1 is where the panel itself listens (--osc %2): it would take its own feedback for orders.</source>
        <translation>--osc-feedback %1 正是控制台自己接收訊息的位置（--osc %2）：它會把自己的回饋當成指令。</translation>
    </message>
    <message>
        <source>--osc-feedback %1: the form after the comma is int or float, not %2.</source>
        <translation>--osc-feedback %1：逗號後面的格式只能是 int 或 float，不能是 %2。</translation>
    </message>
    <message>
        <source>Also send every level change as OSC to HOST:PORT, besides the remote controls heard from in the last ten minutes; may be given more than once. Levels go as ints 0..99, or with ,float after the port as floats 0.0..1.0.</source>
        <translation>除了最近十分鐘內傳過訊息的遙控器之外，也把每次亮度變化以 OSC 傳送到 HOST:PORT；可以指定多次。亮度以整數 0..99 傳送；在連接埠後面加上 ,float 則以浮點數 0.0..1.0 傳送。</translation>
    </message>
    <message>
        <source>--web %1: %2.</source>
        <translation>--web %1：%2。</translation>
    </message>
    <message>
        <source>Serve the web remote, a page that phones join by its code, over HTTP on TCP PORT, at the local ADDRESS (default %1: this computer only; name an address of a network to be reached from it).</source>
        <translation>在本機 ADDRESS（預設 %1：僅限本機；要從網路上連線，請指定該網路上的位址）的 TCP 連接埠 PORT 上以 HTTP 提供網頁遙控，手機掃描條碼即可加入。</translation>
    </message>
    <message>
        <source>The file of the cue list (default: %1 beside the scene file).</source>
        <translation>序列檔（預設：場景檔旁的 %1）。</translation>
    </message>
    <message>
        <source>--cues needs a file name.</source>
        <translation>--cues 需要一個檔案名稱。</translation>
    </message>
    <message>
        <source>Take a lighting console&apos;s levels by sACN (E1.31) on UDP port 5568, sent to this computer or to the universe&apos;s multicast group: UNIVERSE 1..63999; slots START to START+7 (START 1..505, default 1) are channels 1 to 8.</source>
        <translation>以 sACN（E1.31）在 UDP 埠 5568 接收燈光控台的亮度，無論是傳給這部電腦或傳給該 Universe 的群播群組：UNIVERSE 為 1..63999；位址 START 到 START+7（START 為 1..505，預設 1）對應第 1 到第 8 路。</translation>
    </message>
    <message>
        <source>Take a lighting console&apos;s levels by Art-Net on UDP port 6454 on every address, and answer its polls: UNIVERSE is the port-address 0..32767, or NET:SUB:UNI; START as for --sacn.</source>
        <translation>以 Art-Net 在所有位址的 UDP 埠 6454 接收燈光控台的亮度，並回覆它的輪詢：UNIVERSE 為 Port-Address 0..32767，或寫成 NET:SUB:UNI；START 與 --sacn 相同。</translation>
    </message>
    <message>
        <source>The network interface on which --sacn joins its universe&apos;s multicast group (default: every interface that is up, the loopback included).</source>
        <translation>--sacn 加入 Universe 群播群組時使用的網路介面（預設：所有已啟用的介面，包括 loopback）。</translation>
    </message>
    <message>
        <source>--%1 %2: %3.</source>
        <translation>--%1 %2：%3。</translation>
    </message>
    <message>
        <source>--net-interface names where --sacn joins its universe&apos;s group: give --sacn too.</source>
        <translation>--net-interface 指定 --sacn 在哪裡加入 Universe 的群組：請同時指定 --sacn。</translation>
    </message>
    <message>
        <source>--net-interface needs an interface&apos;s name.</source>
        <translation>--net-interface 需要一個網路介面名稱。</translation>
    </message>
    <message>
        <source>--midi-profile and --midi-api are for the surface that --midi names: give --midi too.</source>
        <translation>--midi-profile 與 --midi-api 是給 --midi 指定的控制器用的：請一併指定 --midi。</translation>
    </message>
    <message>
        <source>--midi needs a part of the surface&apos;s port name (--midi-list lists them).</source>
        <translation>--midi 需要控制器連接埠名稱的一部分（--midi-list 可列出）。</translation>
    </message>
    <message>
        <source>--midi-profile needs a built-in profile&apos;s name or a file.</source>
        <translation>--midi-profile 需要一個內建設定檔的名稱或一個檔案。</translation>
    </message>
    <message>
        <source>--midi-api is alsa or jack, not %1.</source>
        <translation>--midi-api 應為 alsa 或 jack，而不是 %1。</translation>
    </message>
    <message>
        <source>Take a MIDI control surface: the input (and the output, for its lights and motor faders) whose name holds PATTERN; and offer the panel&apos;s own MIDI port, %1, that other programs connect to.</source>
        <translation>接上 MIDI 控制器：名稱含 PATTERN 的輸入（以及給燈號與馬達推桿用的輸出）；並提供控制台自己的 MIDI 連接埠 %1，讓其他程式連接。</translation>
    </message>
    <message>
        <source>What the surface&apos;s controls do: a built-in profile (%1) or a profile file. Without it, the profile that learn keeps, else generic.</source>
        <translation>控制器上各控制項的作用：內建設定檔（%1）或設定檔檔案。未指定時，使用學習所存的設定檔，沒有則用 generic。</translation>
    </message>
    <message>
        <source>The MIDI system: alsa (the default) or jack; jack where the computer has no ALSA sequencer.</source>
        <translation>MIDI 系統：alsa（預設）或 jack；電腦沒有 ALSA sequencer 時用 jack。</translation>
    </message>
    <message>
        <source>List the MIDI inputs and outputs that --midi can name, and end.</source>
        <translation>列出 --midi 可指定的 MIDI 輸入與輸出，然後結束。</translation>
    </message>
</context>
<context>
    <name>OscCounts</name>
    <message>
        <source>OSC: %1 messages taken, %2 button releases; ignored: %3 while a window was up, %4 echoes of feedback, %5 from the panel&apos;s own port, %6 unknown addresses, %7 wrong arguments, %8 values out of range, %9 malformed packets, %10 bundles</source>
        <translation>OSC：接受 %1 則訊息，%2 次按鈕放開；忽略：視窗開啟時 %3 則，回饋的回聲 %4 則，來自控制台自己連接埠的 %5 則，未知位址 %6 則，引數錯誤 %7 則，數值超出範圍 %8 則，格式錯誤的封包 %9 個，bundle %10 個</translation>
    </message>
</context>
<context>
    <name>OscServer</name>
    <message>
        <source>Cannot listen for OSC messages on %1: %2</source>
        <translation>無法在 %1 上接收 OSC 訊息：%2</translation>
    </message>
</context>
<context>
    <name>PanelSettings</name>
    <message>
        <source>The settings file %1 was not read: %2. It was moved to %3, and no port is remembered.</source>
        <translation>沒有讀取設定檔 %1：%2。它已移到 %3，目前沒有記住任何連接埠。</translation>
    </message>
    <message>
        <source>The settings file %1 was not read: %2, and it could not be moved aside. No port is remembered, and none will be.</source>
        <translation>沒有讀取設定檔 %1：%2，而且無法把它移開。目前沒有記住任何連接埠，之後也不會記住。</translation>
    </message>
    <message>
        <source>The remembered port %1 is a pseudo-terminal, whose number goes to the next terminal that asks for one: it is opened only when chosen here.</source>
        <translation>記住的連接埠 %1 是虛擬終端機，它的編號會分給下一個要求的終端機：只有在這裡選擇它時才會開啟。</translation>
    </message>
    <message>
        <source>a device the system tells nothing of</source>
        <translation>系統沒有任何資訊的裝置</translation>
    </message>
    <message>
        <source>The remembered port %1 is now another device (%2) than the one chosen (%3).</source>
        <translation>記住的連接埠 %1 現在是另一個裝置（%2），不是當初選擇的裝置（%3）。</translation>
    </message>
</context>
<context>
    <name>PickupMark</name>
    <message>
        <source>The MIDI fader stands below this level: push it up to the level, and it takes over.</source>
        <translation>MIDI 推桿位置低於這個亮度：把它推上到這個亮度，它就會接手。</translation>
    </message>
    <message>
        <source>The MIDI fader stands above this level: pull it down to the level, and it takes over.</source>
        <translation>MIDI 推桿位置高於這個亮度：把它拉下到這個亮度，它就會接手。</translation>
    </message>
</context>
<context>
    <name>PortDialog</name>
    <message>
        <source>The dimmer board&apos;s serial port</source>
        <translation>調光器的串列埠</translation>
    </message>
    <message>
        <source>Choose the serial port of the dimmer board, or type the path of its device, and press Open.</source>
        <translation>請選擇調光器所接的串列埠，或輸入其裝置路徑，然後按「開啟」。</translation>
    </message>
    <message>
        <source>Device</source>
        <translation>裝置</translation>
    </message>
    <message>
        <source>Description</source>
        <translation>說明</translation>
    </message>
    <message>
        <source>Manufacturer</source>
        <translation>製造商</translation>
    </message>
    <message>
        <source>Serial number</source>
        <translation>序號</translation>
    </message>
    <message>
        <source>Name in /dev/serial/by-id</source>
        <translation>在 /dev/serial/by-id 中的名稱</translation>
    </message>
    <message>
        <source>&amp;Device:</source>
        <translation>裝置(&amp;D)：</translation>
    </message>
    <message>
        <source>for example /dev/ttyUSB0 or /dev/pts/3</source>
        <translation>例如 /dev/ttyUSB0 或 /dev/pts/3</translation>
    </message>
    <message>
        <source>Choose a port in the list or type the path of a device.</source>
        <translation>請在清單中選擇連接埠，或輸入裝置的路徑。</translation>
    </message>
</context>
<context>
    <name>PortProblem</name>
    <message>
        <source>its path is too long to be locked against other programs: the lock file is named after the path, %1 characters where the system allows %2. Use a shorter path, for example a symbolic link in /tmp</source>
        <translation>它的路徑太長，無法鎖定以防其他程式使用：鎖定檔以路徑命名，長達 %1 個字元，而系統只允許 %2 個。請改用較短的路徑，例如 /tmp 中的符號連結</translation>
    </message>
    <message>
        <source>there is no such device (is the board&apos;s adapter plugged in?)</source>
        <translation>沒有這個裝置（調光器的轉接器插上了嗎？）</translation>
    </message>
    <message>
        <source>it is a folder, not a serial device</source>
        <translation>它是資料夾，不是串列裝置</translation>
    </message>
    <message>
        <source>it is a file, not a serial device</source>
        <translation>它是檔案，不是串列裝置</translation>
    </message>
    <message>
        <source>it is in use by %1</source>
        <translation>它正被 %1 使用中</translation>
    </message>
    <message>
        <source>it is in use by another program (%1)</source>
        <translation>它正被其他程式使用中（%1）</translation>
    </message>
    <message>
        <source>it is not a serial device (%1)</source>
        <translation>它不是串列裝置（%1）</translation>
    </message>
    <message>
        <source>process %1</source>
        <translation>行程 %1</translation>
    </message>
    <message>
        <source>%1 (process %2)</source>
        <translation>%1（行程 %2）</translation>
    </message>
    <message>
        <source>permission denied</source>
        <translation>權限不足</translation>
    </message>
    <message>
        <source>permission denied, although the user %1 is in its group %2 (mode %3)</source>
        <translation>權限不足，雖然使用者 %1 屬於它的群組 %2（權限模式 %3）</translation>
    </message>
    <message>
        <source>permission denied: the user %1 was added to the group %2, which may use it, after this session began. Log out and log in again</source>
        <translation>權限不足：使用者 %1 是在這次登入之後才加入可使用它的群組 %2。請登出後再重新登入</translation>
    </message>
    <message>
        <source>permission denied: the group %2 may use it, and the user %1 is not in it. Add the user with &apos;sudo adduser %1 %2&apos;, then log out and log in again</source>
        <translation>權限不足：群組 %2 可以使用它，而使用者 %1 不在其中。請以「sudo adduser %1 %2」加入該群組，然後登出再重新登入</translation>
    </message>
    <message>
        <source>permission denied: only its owner %1 may use it (group %2, mode %3), and no group that the user %4 could join. Ask the administrator for a udev rule that gives the adapter to the dialout group, for example a line &apos;SUBSYSTEM==&quot;tty&quot;, %5GROUP=&quot;dialout&quot;, MODE=&quot;0660&quot;&apos; in /etc/udev/rules.d/50-dimmer-board.rules, and then to add %4 to dialout</source>
        <translation>權限不足：只有擁有者 %1 可以使用它（群組 %2，權限模式 %3），沒有任何使用者 %4 可加入的群組能使用它。請管理員加一條 udev 規則，把轉接器交給 dialout 群組，例如在 /etc/udev/rules.d/50-dimmer-board.rules 中寫入「SUBSYSTEM==&quot;tty&quot;, %5GROUP=&quot;dialout&quot;, MODE=&quot;0660&quot;」，再把 %4 加入 dialout</translation>
    </message>
    <message>
        <source>it is the terminal of whatever program opens it, not a serial line: the panel would type its packets into it</source>
        <translation>它是開啟它的程式自己的終端機，不是串列線路：控制台會把封包打進那個終端機</translation>
    </message>
    <message>
        <source>it is the system&apos;s console, not a serial line</source>
        <translation>它是系統主控台，不是串列線路</translation>
    </message>
    <message>
        <source>it makes new pseudo-terminals and is no line itself (the virtual board&apos;s line is the /dev/pts device it tells)</source>
        <translation>它用來建立新的虛擬終端機，本身不是線路（虛擬調光器的線路是它告知的 /dev/pts 裝置）</translation>
    </message>
    <message>
        <source>it is not a serial line: no serial port&apos;s driver stands behind it (a text console, or another kind of device)</source>
        <translation>它不是串列線路：後面沒有串列埠的驅動程式（是文字主控台或其他種類的裝置）</translation>
    </message>
    <message>
        <source>nobody uses it, but a lock file that a program which no longer runs (process %1) left behind is in the way: %2, which belongs to %3. Remove it with &apos;%4rm %2&apos;</source>
        <translation>沒有人在用它，但一個已不再執行的程式（行程 %1）留下的鎖定檔擋住了它：%2，屬於 %3。請用「%4rm %2」刪除它</translation>
    </message>
    <message>
        <source>it is the terminal of %1 (process %2), not a serial line: the panel would type its packets into it</source>
        <translation>它是 %1（行程 %2）的終端機，不是序列線路：控制台會把封包打進去</translation>
    </message>
</context>
<context>
    <name>RemoteModules</name>
    <message>
        <source>A module of the panel cannot be loaded: %1</source>
        <translation>無法載入控制台的模組：%1</translation>
    </message>
</context>
<context>
    <name>SceneFile</name>
    <message>
        <source>Cannot use the scene file %1: %2.</source>
        <translation>無法使用場景檔 %1：%2。</translation>
    </message>
    <message>
        <source>it is a folder</source>
        <translation>它是資料夾</translation>
    </message>
    <message>
        <source>%1 is not a folder</source>
        <translation>%1 不是資料夾</translation>
    </message>
    <message>
        <source>there is no folder %1</source>
        <translation>沒有資料夾 %1</translation>
    </message>
    <message>
        <source>it cannot be created in %1: %2</source>
        <translation>無法在 %1 中建立：%2</translation>
    </message>
    <message>
        <source>Cannot create the folder %1 for the scene file: %2.</source>
        <translation>無法為場景檔建立資料夾 %1：%2。</translation>
    </message>
    <message>
        <source>Cannot open the scene file %1: %2.</source>
        <translation>無法開啟場景檔 %1：%2。</translation>
    </message>
    <message>
        <source>Cannot read the scene file %1: %2.</source>
        <translation>無法讀取場景檔 %1：%2。</translation>
    </message>
    <message>
        <source>Cannot write the scene file %1: %2.</source>
        <translation>無法寫入場景檔 %1：%2。</translation>
    </message>
    <message>
        <source>Cannot close the scene file %1: %2.</source>
        <translation>無法關閉場景檔 %1：%2。</translation>
    </message>
</context>
<context>
    <name>SerialLink</name>
    <message>
        <source>%1 (that is %2)</source>
        <translation>%1（即 %2）</translation>
    </message>
    <message>
        <source>Cannot open the serial port %1: %2.</source>
        <translation>無法開啟串列埠 %1：%2。</translation>
    </message>
    <message>
        <source>the line takes nothing: nothing reads its far side</source>
        <translation>線路收不下任何資料：另一端沒有在讀取</translation>
    </message>
    <message>
        <source>the line hung up</source>
        <translation>線路已中斷</translation>
    </message>
</context>
<context>
    <name>SocketAddress</name>
    <message>
        <source>there is no host %1 (%2)</source>
        <translation>找不到主機 %1（%2）</translation>
    </message>
    <message>
        <source>an IPv6 address in brackets must be followed by a colon and the port, as in [::1]:9000</source>
        <translation>方括號中的 IPv6 位址後面必須接冒號和連接埠，例如 [::1]:9000</translation>
    </message>
    <message>
        <source>%1 in brackets is not an IPv6 address</source>
        <translation>方括號中的 %1 不是 IPv6 位址</translation>
    </message>
    <message>
        <source>an IPv6 address goes in brackets, as in [::1]:9000</source>
        <translation>IPv6 位址要放在方括號中，例如 [::1]:9000</translation>
    </message>
    <message>
        <source>the host is missing before the colon</source>
        <translation>冒號前缺少主機</translation>
    </message>
    <message>
        <source>the host and the port are needed, as in 192.168.1.20:9000</source>
        <translation>需要主機和連接埠，例如 192.168.1.20:9000</translation>
    </message>
    <message>
        <source>the port must be a number from 1 to 65535</source>
        <translation>連接埠必須是 1 到 65535 之間的數字</translation>
    </message>
    <message>
        <source>%1 cannot be reached from %2, where the panel listens: one is IPv4, the other IPv6</source>
        <translation>從控制台接收訊息的 %2 無法到達 %1：一個是 IPv4，另一個是 IPv6</translation>
    </message>
    <message>
        <source>%1 is not on this computer, and the panel listens on this computer&apos;s %2 only</source>
        <translation>%1 不在本機上，而控制台只在本機的 %2 上接收</translation>
    </message>
</context>
<context>
    <name>Startup</name>
    <message>
        <source>No port was opened, so the panel did not start.</source>
        <translation>沒有開啟任何連接埠，因此控制台沒有啟動。</translation>
    </message>
    <message>
        <source>When the panel was last closed, changes had not reached the board on %1 (%2 of them). The panel shows what the lamps show.</source>
        <translation>上次關閉面板時，有變更未送到 %1 上的調光器（共 %2 項）。面板顯示燈具實際的狀態。</translation>
    </message>
    <message>
        <source>MIDI inputs:</source>
        <translation>MIDI 輸入：</translation>
    </message>
    <message>
        <source>MIDI outputs:</source>
        <translation>MIDI 輸出：</translation>
    </message>
    <message>
        <source>(none)</source>
        <translation>（無）</translation>
    </message>
</context>
<context>
    <name>TokenStore</name>
    <message>
        <source>Cannot keep the web remote&apos;s access token in %1: %2</source>
        <translation>無法將網頁遙控的存取碼存入 %1：%2</translation>
    </message>
    <message>
        <source>The web remote&apos;s access token %1 is a symbolic link: the panel follows no link there, so that it never overwrites another file or opens it to others. Remove the link.</source>
        <translation>網頁遙控的存取碼 %1 是符號連結：控制台不會跟隨那裡的連結，以免覆寫其他檔案或讓他人讀取。請刪除這個連結。</translation>
    </message>
</context>
<context>
    <name>UserFiles</name>
    <message>
        <source>it is not a plain file</source>
        <translation>它不是一般的檔案</translation>
    </message>
    <message>
        <source>it holds %1 bytes, where the panel writes a few dozen</source>
        <translation>它有 %1 位元組，而控制台只寫幾十個位元組</translation>
    </message>
</context>
<context>
    <name>WebCounts</name>
    <message>
        <source>Web: %1 messages taken, %2 pages joined; ignored: %3 wrong tokens, %4 controls without the token, %5 while a window was up, %6 too fast, %7 unknown actions, %8 wrong arguments, %9 values out of range, %10 malformed messages, %11 oversized, %12 binary messages, %13 pages turned away</source>
        <translation>網頁：接受 %1 則訊息，%2 個網頁加入；忽略：存取碼錯誤 %3 次，沒有存取碼的操作 %4 則，視窗開啟時 %5 則，太快 %6 則，未知動作 %7 則，引數錯誤 %8 則，數值超出範圍 %9 則，格式錯誤的訊息 %10 則，過大 %11 則，二進位訊息 %12 則，拒絕的網頁 %13 個</translation>
    </message>
</context>
<context>
    <name>WebServer</name>
    <message>
        <source>Cannot listen for the web remote on %1: %2</source>
        <translation>無法在 %1 上提供網頁遙控：%2</translation>
    </message>
</context>
<context>
    <name>WholeFile</name>
    <message>
        <source>the folder %1 could not be made</source>
        <translation>無法建立資料夾 %1</translation>
    </message>
</context>
</TS>
