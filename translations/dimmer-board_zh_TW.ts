<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_TW">
<context>
    <name>BoardOptions</name>
    <message>
        <source>A virtual eight-channel dimmer board: it reads what the panel sends and shows the board&apos;s levels, master, mode and scenes.

The first line on stdout is the path of the device to point the panel at (the pseudo-terminal, or the --device given), printed once the device and any --link are ready.

SIGUSR1 pulls the board&apos;s line out, as a USB serial adapter can be: the pseudo-terminal and the --link go, and a panel on it sees the line hang up; the board keeps its state. SIGUSR2 plugs it in again as a new pseudo-terminal, with the link pointing at it. Each is told by a line on stdout, with or without --dump: &apos;unplugged&apos;, or &apos;plugged&apos; and the new path. In the window the U key does the same.</source>
        <extracomment>&apos;unplugged&apos; and &apos;plugged&apos; are words the board prints for scripts: keep them as they are.</extracomment>
        <translation>虛擬的八路調光器：它讀取控制台送來的資料，並顯示調光器的各路亮度、總控、模式與場景。

標準輸出的第一行是要讓控制台連接的裝置路徑（虛擬終端機，或指定的 --device），在裝置與 --link 都就緒之後才印出。

SIGUSR1 拔除調光器的線路，如同拔出 USB 串列埠轉接器：虛擬終端機與 --link 隨之消失，接在上面的控制台會看到線路中斷；調光器保留它的狀態。SIGUSR2 再把線路插回，成為新的虛擬終端機，連結也改指向它。兩者都會在標準輸出印出一行，不論有沒有 --dump：&apos;unplugged&apos;，或 &apos;plugged&apos; 加上新的路徑。在視窗中按 U 鍵也一樣。</translation>
    </message>
    <message>
        <source>Also make a symbolic link at PATH to the pseudo-terminal, removed when the board ends or its line is pulled out. A link already at PATH is replaced, any other file is left alone and the board does not start.</source>
        <translation>另在 PATH 建立指向虛擬終端機的符號連結，調光器結束或線路拔除時移除。PATH 已有的符號連結會被取代；若是其他檔案則保持不動，調光器也不會啟動。</translation>
    </message>
    <message>
        <source>Listen on this serial device at 9600 baud 8N1 instead of a pseudo-terminal, as a monitor of a real line.</source>
        <translation>改以 9600 baud 8N1 監聽這個串列裝置，而不開虛擬終端機，用來監看真正的線路。</translation>
    </message>
    <message>
        <source>No window: write one line on stdout for each event (see above).</source>
        <translation>不開視窗：每個事件在標準輸出寫一行（見上文）。</translation>
    </message>
    <message>
        <source>Read the pseudo-terminal as fast as the panel writes. Without it the board takes 960 bytes a second, as the board&apos;s 9600-baud UART receives them, so that its lamps lag the panel exactly as a real board&apos;s would.</source>
        <translation>控制台寫多快，就多快讀取虛擬終端機。沒有這個選項時，調光器每秒只收 960 位元組，與調光器 9600 baud 的 UART 接收的速度相同，因此燈落後控制台的程度和真正的調光器完全一樣。</translation>
    </message>
    <message>
        <source>--device needs a device path.</source>
        <translation>--device 需要一個裝置路徑。</translation>
    </message>
    <message>
        <source>--link needs a path.</source>
        <translation>--link 需要一個路徑。</translation>
    </message>
    <message>
        <source>--link names the board&apos;s own pseudo-terminal, so it cannot go with --device.</source>
        <translation>--link 指的是調光器自己的虛擬終端機，因此不能與 --device 一起使用。</translation>
    </message>
    <message>
        <source>--full-speed is for the board&apos;s own pseudo-terminal; a --device line runs at its own speed.</source>
        <translation>--full-speed 只用於調光器自己的虛擬終端機；--device 的線路以它自己的速度進行。</translation>
    </message>
</context>
<context>
    <name>BoardWindow</name>
    <message>
        <source>Virtual Dimmer Board</source>
        <translation>虛擬調光器</translation>
    </message>
    <message>
        <source>Scenes</source>
        <translation>場景</translation>
    </message>
    <message>
        <source>Log</source>
        <translation>記錄</translation>
    </message>
    <message>
        <source>Unplug the Line</source>
        <translation>拔除線路</translation>
    </message>
    <message>
        <source>As a USB serial adapter pulled out: the line at the panel&apos;s end goes at once. Press again to plug it back in, as a new device (U)</source>
        <translation>如同拔出 USB 序列埠轉接器：面板那端的線路隨即中斷；再按一次插回，換成新的裝置（U）</translation>
    </message>
    <message>
        <source>Device: the line is pulled out</source>
        <translation>裝置：線路已拔除</translation>
    </message>
    <message>
        <source>Device: %1</source>
        <translation>裝置：%1</translation>
    </message>
    <message>
        <source>Mode</source>
        <translation>模式</translation>
    </message>
    <message>
        <source>Scene %1</source>
        <translation>場景 %1</translation>
    </message>
    <message>
        <source>Bytes: %1 received, %2 decoded, %3 dropped</source>
        <translation>已收 %1 位元組&#x3000;已解 %2 位元組&#x3000;丟棄 %3 位元組</translation>
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
    <name>DeviceLink</name>
    <message>
        <source>Cannot make the link %1: it is there already and is not a symbolic link.</source>
        <translation>無法建立連結 %1：那裡已經有檔案，而且不是符號連結。</translation>
    </message>
    <message>
        <source>Cannot make the link %1 to %2: %3.</source>
        <translation>無法建立指向 %2 的連結 %1：%3。</translation>
    </message>
</context>
<context>
    <name>DumpWriter</name>
    <message>
        <source>channel C as on the wire (0..7) set to level L (0..99)</source>
        <translation>第 C 路（線路上的編號 0..7）設為亮度 L（0..99）</translation>
    </message>
    <message>
        <source>the master, and with it every channel, set to L</source>
        <translation>總控設為 L，每一路也隨之設為 L</translation>
    </message>
    <message>
        <source>mode M as people read it (1..12): wire address + 1</source>
        <translation>模式 M，以一般的編號（1..12）：線路上的位址加 1</translation>
    </message>
    <message>
        <source>a scene download; its body is scene 1 channel 0 ..
scene 12 channel 7, eight levels a scene</source>
        <translation>場景下載；內容依序是場景 1 第 0 路 .. 場景 12 第 7 路，
每個場景八個亮度</translation>
    </message>
    <message>
        <source>N bytes the board could not use; REASON (why the first
was dropped) is stray-byte, bad-address, bad-command,
bad-value, bad-end-byte, no-frame-end or cut-short</source>
        <extracomment>The words in lower case joined by hyphens are the reasons as the dump writes them: keep them as they are.</extracomment>
        <translation>調光器無法使用的 N 個位元組；REASON（第一個位元組被丟棄
的原因）是 stray-byte、bad-address、bad-command、
bad-value、bad-end-byte、no-frame-end 或 cut-short</translation>
    </message>
    <message>
        <source>the line was pulled out (SIGUSR1)</source>
        <translation>線路已拔除（SIGUSR1）</translation>
    </message>
    <message>
        <source>the line is back, as the new device PATH (SIGUSR2)</source>
        <translation>線路已插回，成為新的裝置 PATH（SIGUSR2）</translation>
    </message>
    <message>
        <source>With --dump, one line follows for each event, flushed at once:</source>
        <translation>使用 --dump 時，接著每個事件立即寫出一行：</translation>
    </message>
    <message>
        <source>Numbers are decimal; HEX is every byte of the message or dropped run in
lower-case hex pairs separated by spaces, e.g. &apos;%1&apos;.
A message still incomplete after %2 ms without a byte was cut short.</source>
        <extracomment>%1 is a line of the dump, as it is written.</extracomment>
        <translation>數字為十進位；HEX 是訊息或被丟棄的一串位元組的每一個位元組，
以小寫的兩位十六進位表示，以空格分隔，例如 &apos;%1&apos;。
%2 毫秒內沒有新位元組而仍不完整的訊息，視為被截斷。</translation>
    </message>
</context>
<context>
    <name>EventLog</name>
    <message>
        <source>not a start byte</source>
        <translation>不是起始位元組</translation>
    </message>
    <message>
        <source>wrong address</source>
        <translation>位址不對</translation>
    </message>
    <message>
        <source>wrong command</source>
        <translation>命令不對</translation>
    </message>
    <message>
        <source>wrong value</source>
        <translation>數值不對</translation>
    </message>
    <message>
        <source>wrong end byte</source>
        <translation>結束位元組不對</translation>
    </message>
    <message>
        <source>scene data without its end byte</source>
        <translation>場景資料缺結束位元組</translation>
    </message>
    <message>
        <source>message cut short</source>
        <translation>訊息不完整</translation>
    </message>
    <message>
        <source>Nothing received yet</source>
        <translation>尚未收到資料</translation>
    </message>
    <message>
        <source>Channel 1</source>
        <translation>調光一</translation>
    </message>
    <message>
        <source>Channel 2</source>
        <translation>調光二</translation>
    </message>
    <message>
        <source>Channel 3</source>
        <translation>調光三</translation>
    </message>
    <message>
        <source>Channel 4</source>
        <translation>調光四</translation>
    </message>
    <message>
        <source>Channel 5</source>
        <translation>調光五</translation>
    </message>
    <message>
        <source>Channel 6</source>
        <translation>調光六</translation>
    </message>
    <message>
        <source>Channel 7</source>
        <translation>調光七</translation>
    </message>
    <message>
        <source>Channel 8</source>
        <translation>調光八</translation>
    </message>
    <message>
        <source>Channel %1</source>
        <translation>調光%1</translation>
    </message>
    <message>
        <source>Master</source>
        <translation>調光全</translation>
    </message>
    <message>
        <source>Mode %1</source>
        <translation>模式 %1</translation>
    </message>
    <message>
        <source>%1 = %2</source>
        <translation>%1 ＝ %2</translation>
    </message>
    <message>
        <source>Scene download (twelve scenes)</source>
        <translation>場景下載（十二個場景）</translation>
    </message>
    <message>
        <source>Dropped bytes (%1): %2</source>
        <translation>丟棄 %1 位元組：%2</translation>
    </message>
</context>
<context>
    <name>PseudoTerminal</name>
    <message>
        <source>Cannot open a pseudo-terminal: %1 failed: %2.</source>
        <translation>無法開啟虛擬終端機：%1 失敗：%2。</translation>
    </message>
</context>
<context>
    <name>SerialLine</name>
    <message>
        <source>Cannot open the serial device %1: %2.</source>
        <translation>無法開啟串列裝置 %1：%2。</translation>
    </message>
    <message>
        <source>The serial device %1 is gone: %2.</source>
        <translation>串列裝置 %1 已消失：%2。</translation>
    </message>
</context>
<context>
    <name>Startup</name>
    <message>
        <source>Signal %1 ignored: a --device line cannot be unplugged by the board.</source>
        <translation>已忽略信號 %1：--device 的線路無法由調光器拔除。</translation>
    </message>
</context>
</TS>
