<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>HelpWindow</name>
    <message>
        <source>Vistrel Help</source>
        <translation>Vistrel 帮助</translation>
    </message>
    <message>
        <source>Vistrel designs lenticular prints: pictures printed behind a sheet of lenses, so that each eye and each angle sees a different picture.

WHAT IT DOES
- 3D by moving layers: every layer of a PSD gets a depth (a horizontal offset). Vistrel makes seven views by shifting the layers in proportion to their offsets; layers above the focus layer come forward, layers below it go back.
- Simulated 3D from a single layer: sketch nested closed paths over a flat layer, each on one of fifteen levels, and the layer becomes a relief.
- 3D from camera shots: put the shots of a moving camera on layers and group them.
- Flip pictures: group layers in the PSD and they alternate from view to view, for changes of scale, colour, motion or rotation.

HOW TO USE IT
1. Import a PSD (File &gt; Import *.psd, Ctrl+I). The layers appear in the grid, top layer first; the focus layer is marked &lt;F&gt;.
2. Adjust the depth, the focus layer, the offsets in the grid and the lens and printer settings (LPI, OutDPI, width).
3. Optionally, on the DrawLine page, draw paths on a single layer from near to far; double-click to close a path.
4. Preview (F9): the seven views play back and forth. Stop (F10) when you are happy.
5. Save the picture: export the interlaced TIFF for printing (Ctrl+E), and if you like the views as a layered PSD, an animated GIF or a red/blue anaglyph. Save the project (Ctrl+S) to come back to the design later.
</source>
        <translation>Vistrel 用于设计光栅立体印刷品：画面印在一片透镜光栅之后，使每只眼睛、每个角度看到不同的画面。

功能
- 移动图层形成立体：PSD 的每个图层都有一个景深（水平移位）。Vistrel 按各层的移位成比例地移动图层，生成七个视图；焦点层之上的图层向前凸出，之下的图层向后退。
- 由单个图层模拟立体：在平面图层上勾画嵌套的闭合路径，每条路径属于十五个层次之一，该图层便成为浮雕。
- 由相机拍摄形成立体：把移动相机拍下的照片放在各图层上并编组。
- 变图：在 PSD 中把图层编组，它们会随视图交替出现，用于缩放、变色、动作或旋转的变化。

使用方法
1. 导入 PSD（文件 &gt; 导入PSD，Ctrl+I）。图层显示在表格中，最上层在前；焦点层标有 &lt;F&gt;。
2. 调整景深、焦点层、表格中的移位，以及光栅和打印机设置（线数、精度、宽度）。
3. 可选：在“单层勾线”页上，由近及远在单个图层上勾画路径；双击闭合路径。
4. 预览（F9）：七个视图来回播放。满意后停止（F10）。
5. 保存画面：输出用于印刷的交错 TIFF（Ctrl+E），也可以把各视图输出为分层 PSD、GIF 动画或红蓝立体图。保存工程文件（Ctrl+S），以后可以继续设计。
</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>&amp;Undo point</source>
        <translation>撤销点(&amp;U)</translation>
    </message>
    <message>
        <source>&amp;Undo %1</source>
        <translation>撤销 %1(&amp;U)</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>撤销(&amp;U)</translation>
    </message>
    <message>
        <source>&amp;Redo %1</source>
        <translation>重做 %1(&amp;R)</translation>
    </message>
    <message>
        <source>&amp;Redo</source>
        <translation>重做(&amp;R)</translation>
    </message>
    <message>
        <source>An order holds at most 255 lines. Delete some lines or choose another order.</source>
        <translation>每层最多255条线。请删除一些线或选择其他层。</translation>
    </message>
    <message>
        <source>At most 255 lines can be selected at once.</source>
        <translation>最多只能同时选中255条线。</translation>
    </message>
    <message>
        <source>A line has at most 127 points.</source>
        <translation>一条线最多127个点。</translation>
    </message>
    <message>
        <source>Export  Line Tiff</source>
        <translation>输出光栅 Tiff</translation>
    </message>
    <message>
        <source>Tiff (*.tif)</source>
        <translation>Tiff 文件 (*.tif)</translation>
    </message>
    <message>
        <source>Export anyway</source>
        <translation>仍然导出</translation>
    </message>
    <message>
        <source>%1 written: %2 x %3 pixels, %4 x %5 cm.</source>
        <translation>已输出 %1：%2 x %3 像素，%4 x %5 厘米。</translation>
    </message>
    <message>
        <source>Export *.psd</source>
        <translation>输出 *.psd</translation>
    </message>
    <message>
        <source>Photoshop File (*.PSD *.psd)</source>
        <translation>Photoshop 文件 (*.PSD *.psd)</translation>
    </message>
    <message>
        <source>The layers have changed since the print was made. Export the print again, then the layered PSD.</source>
        <translation>输出印刷图之后图层已改变。请重新输出印刷图，再输出分层 PSD。</translation>
    </message>
    <message>
        <source>Gif save</source>
        <translation>保存 Gif</translation>
    </message>
    <message>
        <source>Gif (*.gif)</source>
        <translation>Gif 文件 (*.gif)</translation>
    </message>
    <message>
        <source>Pitch test print</source>
        <translation>光栅节距测试图</translation>
    </message>
    <message>
        <source>Import *.psd</source>
        <translation>导入 *.psd</translation>
    </message>
    <message>
        <source>Photoshop file (*.psd)</source>
        <translation>Photoshop 文件 (*.psd)</translation>
    </message>
    <message>
        <source>Row %1 is a relief layer: delete its lines before putting it in a group.</source>
        <translation>第 %1 行是浮雕图层：请先删除它的勾线，再把它放入群组。</translation>
    </message>
    <message>
        <source>No group</source>
        <translation>不编组</translation>
    </message>
    <message>
        <source>Group %1</source>
        <translation>群组 %1</translation>
    </message>
    <message>
        <source> Please import *.psd</source>
        <translation> 请导入Psd图档</translation>
    </message>
    <message>
        <source> Please set 3d parameters，and click the Preview button.</source>
        <translation> 请设置参数,然后预览</translation>
    </message>
    <message>
        <source> Please stop preview</source>
        <translation> 请先停止预览</translation>
    </message>
    <message>
        <source> Please export tiff file, or change 3d settings.</source>
        <translation> 请输出立体图片。或重新设置立体参数。</translation>
    </message>
    <message>
        <source>Please put on 3d glasses to see the 3d picture.</source>
        <translation>请戴上红绿立体眼镜,观看立体效果.</translation>
    </message>
    <message>
        <source>Vistrel lenticular</source>
        <translation>Vistrel 光栅立体</translation>
    </message>
    <message>
        <source>Original info</source>
        <translation>原图信息</translation>
    </message>
    <message>
        <source>Size (cm):</source>
        <translation>尺寸(厘米):</translation>
    </message>
    <message>
        <source>DPI:</source>
        <translation>精度:</translation>
    </message>
    <message>
        <source>Color:</source>
        <translation>颜色:</translation>
    </message>
    <message>
        <source>Layers:</source>
        <translation>层数:</translation>
    </message>
    <message>
        <source>Layer</source>
        <translation>图层</translation>
    </message>
    <message>
        <source>Group</source>
        <translation>群组</translation>
    </message>
    <message>
        <source>Offset</source>
        <translation>移位</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>名称</translation>
    </message>
    <message>
        <source>All</source>
        <translation>全部</translation>
    </message>
    <message>
        <source>One</source>
        <translation>单层</translation>
    </message>
    <message>
        <source>Chinese</source>
        <translation>中文</translation>
    </message>
    <message>
        <source>English</source>
        <translation>英文</translation>
    </message>
    <message>
        <source>Interface language</source>
        <translation>界面语言</translation>
    </message>
    <message>
        <source>(none)</source>
        <translation>（无）</translation>
    </message>
    <message>
        <source>  Please import *.psd.</source>
        <translation>  请导入Psd图档。</translation>
    </message>
    <message>
        <source>Not enough memory for this command. Close other programs or choose a smaller print, then try again.</source>
        <translation>内存不足，无法执行此命令。请关闭其他程序或选择更小的印刷尺寸，然后重试。</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>文件(&amp;F)</translation>
    </message>
    <message>
        <source>Open project</source>
        <translation>打开工程文件(&amp;O)</translation>
    </message>
    <message>
        <source>&amp;Save project</source>
        <translation>储存工程文件(&amp;S)</translation>
    </message>
    <message>
        <source>Save as project</source>
        <translation>输出设置(&amp;T)</translation>
    </message>
    <message>
        <source>&amp;Import *.psd</source>
        <translation>导入PSD(&amp;I)</translation>
    </message>
    <message>
        <source>Import default settings</source>
        <translation>导入默认设置</translation>
    </message>
    <message>
        <source>I&amp;mport settings</source>
        <translation>导入设置(&amp;m)</translation>
    </message>
    <message>
        <source>Pre&amp;View 3D animation</source>
        <translation>动画预览3D(&amp;V)</translation>
    </message>
    <message>
        <source>S&amp;top preview</source>
        <translation>停止预览(&amp;T)</translation>
    </message>
    <message>
        <source>&amp;Red/Blue Glasses preview</source>
        <translation>红绿眼镜观看(&amp;G)</translation>
    </message>
    <message>
        <source>&amp;Export *.tiff</source>
        <translation>输出tiff(&amp;E)</translation>
    </message>
    <message>
        <source>E&amp;xport PSD</source>
        <translation>输出PSD(&amp;X)</translation>
    </message>
    <message>
        <source>Export &amp;Gif</source>
        <translation>输出Gif</translation>
    </message>
    <message>
        <source>Adaptive GIF palette</source>
        <translation>Gif 自适应调色板</translation>
    </message>
    <message>
        <source>Import &amp;folders as flip groups</source>
        <translation>文件夹导入为翻转组(&amp;F)</translation>
    </message>
    <message>
        <source>&amp;Pitch test print...</source>
        <translation>光栅节距测试图(&amp;P)...</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>退出(&amp;Q)</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>编辑(&amp;E)</translation>
    </message>
    <message>
        <source>&amp;Begin draw line</source>
        <translation>开始勾线(&amp;B)</translation>
    </message>
    <message>
        <source>&amp;Delete line</source>
        <translation>删除单条线(&amp;D)</translation>
    </message>
    <message>
        <source>Delete &amp;Layer</source>
        <translation>删除单层线(&amp;L)</translation>
    </message>
    <message>
        <source>Delete A&amp;ll</source>
        <translation>删除所有线(&amp;A)</translation>
    </message>
    <message>
        <source>&amp;Delete Select</source>
        <translation>删除选中勾线</translation>
    </message>
    <message>
        <source>Select &amp;All</source>
        <translation>全选</translation>
    </message>
    <message>
        <source>Free &amp;Transition</source>
        <translation>自由转换</translation>
    </message>
    <message>
        <source>C&amp;ut</source>
        <translation>剪切(&amp;X)</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>拷贝(&amp;C)</translation>
    </message>
    <message>
        <source>Pastup</source>
        <translation>粘贴(&amp;V)</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>显示(&amp;V)</translation>
    </message>
    <message>
        <source>Zoom &amp;In</source>
        <translation>放大(&amp;I)</translation>
    </message>
    <message>
        <source>Zoom &amp;Out</source>
        <translation>缩小(&amp;O)</translation>
    </message>
    <message>
        <source>&amp;Fit</source>
        <translation>适合窗口(&amp;F)</translation>
    </message>
    <message>
        <source>&amp;Show work folder</source>
        <translation>显示系列图(&amp;S)</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>帮助(&amp;H)</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation>关于(&amp;A)</translation>
    </message>
    <message>
        <source>vistrel.app</source>
        <translation>vistrel.app</translation>
    </message>
    <message>
        <source>&amp;Languages English/Chinese</source>
        <translation>语言 英文/中文</translation>
    </message>
    <message>
        <source>SetLayer</source>
        <translation>多层设置</translation>
    </message>
    <message>
        <source>Layer View</source>
        <translation>图层显示</translation>
    </message>
    <message>
        <source>3DSets</source>
        <translation>立体设置</translation>
    </message>
    <message>
        <source>LPI:</source>
        <translation>线数:</translation>
    </message>
    <message>
        <source>Angles(L):</source>
        <translation>镜头数(限):</translation>
    </message>
    <message>
        <source>Layer 0:</source>
        <translation>焦点层:</translation>
    </message>
    <message>
        <source>Depth:</source>
        <translation>景深:</translation>
    </message>
    <message>
        <source>Preset:</source>
        <translation>预设:</translation>
    </message>
    <message>
        <source>Sheets and printers...</source>
        <translation>光栅和打印机...</translation>
    </message>
    <message>
        <source>Output Sets</source>
        <translation>输出设置</translation>
    </message>
    <message>
        <source>OutDPI:</source>
        <translation>精度:</translation>
    </message>
    <message>
        <source>Width:</source>
        <translation>宽度:</translation>
    </message>
    <message>
        <source>cm</source>
        <translation>厘米</translation>
    </message>
    <message>
        <source>Height:</source>
        <translation>高度:</translation>
    </message>
    <message>
        <source>H Scale:</source>
        <translation>压缩:</translation>
    </message>
    <message>
        <source>Y dpi:</source>
        <translation>Y dpi：</translation>
    </message>
    <message>
        <source>Crop to the area every view covers</source>
        <translation>裁切到所有视图都覆盖的区域</translation>
    </message>
    <message>
        <source>DrawLine</source>
        <translation>单层勾线</translation>
    </message>
    <message>
        <source>Order</source>
        <translation>层次</translation>
    </message>
    <message>
        <source>View</source>
        <translation>视图</translation>
    </message>
    <message>
        <source>Layer0</source>
        <translation>基准层</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>背景</translation>
    </message>
    <message>
        <source>Smooth:</source>
        <translation>边界光滑度:</translation>
    </message>
    <message>
        <source>Preview</source>
        <translation>单层预览</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>停止</translation>
    </message>
    <message>
        <source>Front</source>
        <translation>前</translation>
    </message>
    <message>
        <source>continue?</source>
        <translation>继续吗？</translation>
    </message>
    <message>
        <source>Confirm</source>
        <translation>确认</translation>
    </message>
    <message>
        <source>Save changes to the design?</source>
        <translation>保存对设计的修改吗？</translation>
    </message>
    <message>
        <source>There is no design to save yet: import a PSD first.</source>
        <translation>还没有可保存的设计：请先导入 PSD 文件。</translation>
    </message>
    <message>
        <source>Import settings</source>
        <translation>导入设置</translation>
    </message>
    <message>
        <source>1bit x 4</source>
        <translation>1位 x 4</translation>
    </message>
    <message>
        <source>Gray X 4 </source>
        <translation>灰度 x 4 </translation>
    </message>
    <message>
        <source>Color</source>
        <translation>彩色</translation>
    </message>
    <message>
        <source>4bit</source>
        <translation>4位</translation>
    </message>
    <message>
        <source>None</source>
        <translation>不压缩</translation>
    </message>
    <message>
        <source>Max width:</source>
        <translation>最大宽度:</translation>
    </message>
    <message>
        <source>Compression:</source>
        <translation>压缩方式:</translation>
    </message>
    <message>
        <source>Embed the PSD&apos;s colour profile</source>
        <translation>嵌入 PSD 的色彩配置文件</translation>
    </message>
    <message>
        <source>Bleed:</source>
        <translation>出血:</translation>
    </message>
    <message>
        <source>mm</source>
        <translation>毫米</translation>
    </message>
    <message>
        <source>Crop and registration marks</source>
        <translation>裁切线和套准标记</translation>
    </message>
    <message>
        <source>Print shop</source>
        <translation>印刷厂</translation>
    </message>
    <message>
        <source>The PSD holds no colour profile; none is embedded.</source>
        <translation>PSD 没有色彩配置文件，未嵌入。</translation>
    </message>
</context>
<context>
    <name>PitchRangeDialog</name>
    <message>
        <source>Pitch test print</source>
        <translation>光栅节距测试图</translation>
    </message>
    <message>
        <source>LPI from:</source>
        <translation>线数 从:</translation>
    </message>
    <message>
        <source>to:</source>
        <translation>到:</translation>
    </message>
    <message>
        <source>in steps of:</source>
        <translation>步长:</translation>
    </message>
    <message>
        <source>Print it on the lens sheet and look for the strip that shows cleanest; its LPI is this printer&apos;s pitch for the sheet (&quot;Sheets and printers...&quot;).</source>
        <translation>把它打印后覆上光栅片，找出最清晰的一条；它的线数就是这台打印机对这种光栅的节距（“光栅和打印机...”）。</translation>
    </message>
</context>
<context>
    <name>PresetsDialog</name>
    <message>
        <source>%1: &quot;%2&quot; is not a number.</source>
        <translation>%1：“%2”不是数字。</translation>
    </message>
    <message>
        <source>Lens sheets and printers</source>
        <translation>光栅和打印机</translation>
    </message>
    <message>
        <source>Lens sheets</source>
        <translation>光栅片</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>名称</translation>
    </message>
    <message>
        <source>LPI</source>
        <translation>线数</translation>
    </message>
    <message>
        <source>Add a lens sheet</source>
        <translation>添加光栅片</translation>
    </message>
    <message>
        <source>Printers (pitch found by the pitch test, by sheet: &quot;Sheet=75.25; ...&quot;)</source>
        <translation>打印机（节距测试得出的各光栅节距：“光栅=75.25; ...”）</translation>
    </message>
    <message>
        <source>DPI</source>
        <translation>精度</translation>
    </message>
    <message>
        <source>Calibrated pitch</source>
        <translation>校准节距</translation>
    </message>
    <message>
        <source>Add a printer</source>
        <translation>添加打印机</translation>
    </message>
    <message>
        <source>Lens sheet %1, LPI</source>
        <translation>光栅片 %1，线数</translation>
    </message>
    <message>
        <source>Printer %1, DPI</source>
        <translation>打印机 %1，精度</translation>
    </message>
    <message>
        <source>Printer %1, calibrated pitch</source>
        <translation>打印机 %1，校准节距</translation>
    </message>
    <message>
        <source>%1: &quot;%2&quot; is not &quot;Sheet=LPI&quot;.</source>
        <translation>%1：“%2”不是“光栅=线数”的形式。</translation>
    </message>
</context>
<context>
    <name>Tooltip</name>
    <message>
        <source>Open project</source>
        <translation>打开工程文件</translation>
    </message>
    <message>
        <source>Save project</source>
        <translation>储存工程文件</translation>
    </message>
    <message>
        <source>Import psd</source>
        <translation>导入PSD</translation>
    </message>
    <message>
        <source>Zoom in</source>
        <translation>放大</translation>
    </message>
    <message>
        <source>Zoom out</source>
        <translation>缩小</translation>
    </message>
    <message>
        <source>Delete point</source>
        <translation>删除点</translation>
    </message>
    <message>
        <source>delete line</source>
        <translation>删除单条线</translation>
    </message>
    <message>
        <source>delete layer</source>
        <translation>删除单层线</translation>
    </message>
    <message>
        <source>delete all</source>
        <translation>删除所有线</translation>
    </message>
    <message>
        <source>Preview</source>
        <translation>动画预览</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>停止预览</translation>
    </message>
    <message>
        <source>Export tiff</source>
        <translation>输出tiff</translation>
    </message>
    <message>
        <source>Begin Line</source>
        <translation>开始勾线</translation>
    </message>
    <message>
        <source>Red/blue glasses preview</source>
        <translation>红绿眼镜观看</translation>
    </message>
    <message>
        <source>Draw Line</source>
        <translation>勾线</translation>
    </message>
    <message>
        <source>Add Point</source>
        <translation>加点</translation>
    </message>
    <message>
        <source>Delete Point</source>
        <translation>删点</translation>
    </message>
    <message>
        <source>Move Line</source>
        <translation>移动线</translation>
    </message>
    <message>
        <source>Move Point</source>
        <translation>移动点</translation>
    </message>
    <message>
        <source>Move to down Layer</source>
        <translation>移到下一层次</translation>
    </message>
    <message>
        <source>Move to up layer</source>
        <translation>移到上一层次</translation>
    </message>
    <message>
        <source>Cut</source>
        <translation>剪切</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>拷贝</translation>
    </message>
    <message>
        <source>Pastup</source>
        <translation>粘贴</translation>
    </message>
    <message>
        <source>lenticular total in 1 inch</source>
        <translation>每英寸光栅线数</translation>
    </message>
    <message>
        <source>angle total</source>
        <translation>视角数</translation>
    </message>
    <message>
        <source>focus layer index</source>
        <translation>焦点层序号</translation>
    </message>
    <message>
        <source>a lens sheet, at a printer, of the shop&apos;s presets</source>
        <translation>预设中的光栅片（及打印机）</translation>
    </message>
    <message>
        <source>3D depth</source>
        <translation>立体景深</translation>
    </message>
    <message>
        <source>DPI of printer</source>
        <translation>打印机精度</translation>
    </message>
    <message>
        <source>output width(L)</source>
        <translation>输出宽度</translation>
    </message>
    <message>
        <source>output height</source>
        <translation>输出高度</translation>
    </message>
    <message>
        <source>Vertical compress</source>
        <translation>垂直压缩</translation>
    </message>
    <message>
        <source>color mode</source>
        <translation>色彩模式</translation>
    </message>
    <message>
        <source>vertical DPI</source>
        <translation>垂直精度</translation>
    </message>
    <message>
        <source>cut the columns at the edges that not every view covers</source>
        <translation>裁去边缘不是所有视图都覆盖的列</translation>
    </message>
    <message>
        <source>basic layer select</source>
        <translation>选择基准层</translation>
    </message>
    <message>
        <source>relief depth</source>
        <translation>浮雕景深</translation>
    </message>
    <message>
        <source>edge smoothness</source>
        <translation>边界光滑度</translation>
    </message>
    <message>
        <source>frame period</source>
        <translation>帧间隔</translation>
    </message>
    <message>
        <source>the widest print the width takes (21 cm unless a large-format printer takes more)</source>
        <translation>宽度可取的最大值（21 厘米，大幅面打印机可更大）</translation>
    </message>
    <message>
        <source>the print&apos;s TIFF: uncompressed, or LZW or ZIP by strips</source>
        <translation>印刷 TIFF：不压缩，或按条带做 LZW 或 ZIP 压缩</translation>
    </message>
    <message>
        <source>the print and the layered PSD carry the profile the PSD was made for</source>
        <translation>印刷图和分层 PSD 带上 PSD 所用的色彩配置文件</translation>
    </message>
    <message>
        <source>the print continued past the trim on every side, 0 to 50 mm</source>
        <translation>画面在裁切线外四边延伸的宽度，0 到 50 毫米</translation>
    </message>
    <message>
        <source>crop marks, registration targets and a slug line outside the bleed</source>
        <translation>出血之外的裁切线、套准标记和信息行</translation>
    </message>
</context>
<context>
    <name>Vistrel</name>
    <message>
        <source>it ends early</source>
        <translation>文件提前结束</translation>
    </message>
    <message>
        <source>a position lies outside the file</source>
        <translation>位置超出文件范围</translation>
    </message>
    <message>
        <source>the file</source>
        <translation>文件</translation>
    </message>
    <message>
        <source>%1 is damaged: %2 (%3 at byte %4).</source>
        <translation>%1 已损坏：%2（%3，第 %4 字节）。</translation>
    </message>
    <message>
        <source>reading</source>
        <translation>读取</translation>
    </message>
    <message>
        <source>Cannot open file &quot;%1&quot;. %2</source>
        <translation>无法打开文件“%1”。%2</translation>
    </message>
    <message>
        <source>Cannot create file &quot;%1&quot;. %2</source>
        <translation>无法创建文件“%1”。%2</translation>
    </message>
    <message>
        <source>Cannot save &quot;%1&quot;: the folder &quot;%2&quot; cannot be written. %3</source>
        <translation>无法保存“%1”：文件夹“%2”不可写。%3</translation>
    </message>
    <message>
        <source>Cannot save &quot;%1&quot;: it is not a regular file but a device, a pipe or a socket. Choose another name.</source>
        <translation>无法保存“%1”：它不是普通文件，而是设备、管道或套接字。请另选文件名。</translation>
    </message>
    <message>
        <source>The disk is full.</source>
        <translation>磁盘已满。</translation>
    </message>
    <message>
        <source>Cannot save &quot;%1&quot;. %2</source>
        <translation>无法保存“%1”。%2</translation>
    </message>
    <message>
        <source>Stream write error in &quot;%1&quot;. %2</source>
        <translation>写入“%1”时出错。%2</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is not a valid integer value</source>
        <translation>“%1”不是有效的整数</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is not a valid floating point value</source>
        <translation>“%1”不是有效的数值</translation>
    </message>
    <message>
        <source>Read beyond end of file</source>
        <translation>读取超出文件末尾</translation>
    </message>
    <message>
        <source>%1 in &quot;%2&quot;.</source>
        <translation>%1，在“%2”中。</translation>
    </message>
    <message>
        <source>Invalid numeric input</source>
        <translation>无效的数值</translation>
    </message>
    <message>
        <source>Integer out of range</source>
        <translation>整数超出范围</translation>
    </message>
    <message>
        <source>Cannot save &quot;%1&quot;: %2</source>
        <translation>无法保存“%1”：%2</translation>
    </message>
    <message>
        <source>it is a folder.</source>
        <translation>它是一个文件夹。</translation>
    </message>
    <message>
        <source>the file is read-only.</source>
        <translation>文件是只读的。</translation>
    </message>
    <message>
        <source>The file was not open.</source>
        <translation>文件未打开。</translation>
    </message>
    <message>
        <source>Cannot create the work folder &quot;%1&quot; nor &quot;%2&quot;. Vistrel keeps its intermediate images there and cannot run without it.</source>
        <translation>无法创建工作文件夹“%1”或“%2”。Vistrel 在其中保存中间图像，没有它无法运行。</translation>
    </message>
    <message>
        <source>Cannot make the lock file of the work folder &quot;%1&quot;: the folder &quot;%2&quot; cannot be written.</source>
        <translation>无法创建工作文件夹“%1”的锁文件：文件夹“%2”不可写。</translation>
    </message>
    <message>
        <source>Cannot claim a work folder below &quot;%1&quot;: %2 Vistrel processes seem to be running. Close some of them and start again.</source>
        <translation>无法在“%1”下占用工作文件夹：似乎有 %2 个 Vistrel 进程正在运行。请关闭其中一些后重新启动。</translation>
    </message>
    <message>
        <source>Cannot create the work folder &quot;%1&quot;.</source>
        <translation>无法创建工作文件夹“%1”。</translation>
    </message>
    <message>
        <source>%1 must be between %2 and %3, not %4.</source>
        <translation>%1 必须在 %2 到 %3 之间，而不是 %4。</translation>
    </message>
    <message>
        <source>The printer resolution</source>
        <translation>打印机精度</translation>
    </message>
    <message>
        <source>The print must be more than 0 cm wide, not %1 cm.</source>
        <translation>印刷宽度必须大于 0 厘米，而不是 %1 厘米。</translation>
    </message>
    <message>
        <source>The print must be more than 0 cm high, not %1 cm.</source>
        <translation>印刷高度必须大于 0 厘米，而不是 %1 厘米。</translation>
    </message>
    <message>
        <source>The H scale</source>
        <translation>压缩比例</translation>
    </message>
    <message>
        <source>A lens sheet needs a name without &quot;@&quot;.</source>
        <translation>光栅片需要一个不含“@”的名称。</translation>
    </message>
    <message>
        <source>The lens sheet &quot;%1&quot;: the LPI</source>
        <translation>光栅片“%1”：线数</translation>
    </message>
    <message>
        <source>A printer needs a name without &quot;@&quot;.</source>
        <translation>打印机需要一个不含“@”的名称。</translation>
    </message>
    <message>
        <source>The printer &quot;%1&quot;: the resolution</source>
        <translation>打印机“%1”：精度</translation>
    </message>
    <message>
        <source>The printer &quot;%1&quot;: the pitch for &quot;%2&quot;</source>
        <translation>打印机“%1”：对“%2”的节距</translation>
    </message>
    <message>
        <source>The presets in &quot;%1&quot; cannot be read: %2.</source>
        <translation>无法读取“%1”中的预设：%2。</translation>
    </message>
    <message>
        <source>not an object</source>
        <translation>不是对象</translation>
    </message>
    <message>
        <source>%1 is not a number</source>
        <translation>%1 不是数字</translation>
    </message>
    <message>
        <source>the LPI of &quot;%1&quot;</source>
        <translation>“%1”的线数</translation>
    </message>
    <message>
        <source>the resolution of &quot;%1&quot;</source>
        <translation>“%1”的精度</translation>
    </message>
    <message>
        <source>a pitch of &quot;%1&quot;</source>
        <translation>“%1”的节距</translation>
    </message>
    <message>
        <source>The presets in &quot;%1&quot; cannot be read.</source>
        <translation>无法读取“%1”中的预设。</translation>
    </message>
    <message>
        <source>There is no lens sheet &quot;%1&quot; among the presets.</source>
        <translation>预设中没有光栅片“%1”。</translation>
    </message>
    <message>
        <source>There is no printer &quot;%1&quot; among the presets.</source>
        <translation>预设中没有打印机“%1”。</translation>
    </message>
    <message>
        <source>The file not found! &quot;%1&quot;</source>
        <translation>找不到文件！“%1”</translation>
    </message>
    <message>
        <source>The project names no PSD file.</source>
        <translation>工程文件没有指定 PSD 文件。</translation>
    </message>
    <message>
        <source> and &quot;%1&quot;</source>
        <translation> 和“%1”</translation>
    </message>
    <message>
        <source>Can not found the specified psd file! Looked for %1.</source>
        <translation>找不到指定的 PSD 文件！已查找 %1。</translation>
    </message>
    <message>
        <source>Line %1 of &quot;%2&quot;: %3 is not a group number.</source>
        <translation>“%2”第 %1 行：%3 不是群组编号。</translation>
    </message>
    <message>
        <source>Integer out of range in &quot;%1&quot;.</source>
        <translation>“%1”中的整数超出范围。</translation>
    </message>
    <message>
        <source>Line %1 of &quot;%2&quot;: %3 rescaled to this document (x %4) is out of range; nothing was applied.</source>
        <translation>“%2”第 %1 行：%3 按本文档缩放（x %4）后超出范围；未应用任何设置。</translation>
    </message>
    <message>
        <source>The total number of layers is wrong!</source>
        <translation>图层总数不对！</translation>
    </message>
    <message>
        <source>%1 contour line(s) of the project name a layer, an order or a line number this document does not have; they were skipped.</source>
        <translation>工程文件中有 %1 条勾线所指的图层、层次或线号在本文档中不存在；已跳过。</translation>
    </message>
    <message>
        <source>The settings file could not be read (%1). It was kept as &quot;%2&quot;, and the settings that could be read and the defaults for the rest are used.</source>
        <translation>无法读取设置文件（%1）。原文件已保留为“%2”；能读出的设置照用，其余使用默认值。</translation>
    </message>
    <message>
        <source>BMP header</source>
        <translation>BMP 文件头</translation>
    </message>
    <message>
        <source>it is not a BMP picture</source>
        <translation>它不是 BMP 图像</translation>
    </message>
    <message>
        <source>only uncompressed 8, 24 and 32-bit BMP pictures of Vistrel&apos;s own layout are read</source>
        <translation>只能读取 Vistrel 自身格式的未压缩 8、24 和 32 位 BMP 图像</translation>
    </message>
    <message>
        <source>the picture size %1 x %2 is not possible</source>
        <translation>图像尺寸 %1 x %2 不可能</translation>
    </message>
    <message>
        <source>the pixel rows run past the end of the file</source>
        <translation>像素行超出文件末尾</translation>
    </message>
    <message>
        <source>the picture is too large to hold in memory</source>
        <translation>图像太大，内存容纳不下</translation>
    </message>
    <message>
        <source>The work file &quot;%1&quot; was changed while Vistrel was working. Import the PSD again.</source>
        <translation>Vistrel 工作期间工作文件“%1”被改动。请重新导入 PSD。</translation>
    </message>
    <message>
        <source>A layer picture of %1 x %2 pixels at %3 bits with a coverage of %4 x %5 pixels cannot be laid over a %6-bit view: a work file was changed while Vistrel was working.</source>
        <translation>%1 x %2 像素、%3 位、覆盖范围 %4 x %5 像素的图层图像无法叠加到 %6 位的视图上：Vistrel 工作期间有工作文件被改动。</translation>
    </message>
    <message>
        <source>The work file &quot;%1&quot; is %2 x %3 pixels, but its layer is %4 x %5: it was changed while Vistrel was working. Import the PSD again.</source>
        <translation>工作文件“%1”为 %2 x %3 像素，但其图层为 %4 x %5：Vistrel 工作期间它被改动。请重新导入 PSD。</translation>
    </message>
    <message>
        <source>Row %1: a group is a letter from A to Z, or empty for none; &quot;%2&quot; is not a group.</source>
        <translation>第 %1 行：群组是 A 到 Z 的字母，留空表示不编组；“%2”不是群组。</translation>
    </message>
    <message>
        <source>it holds no layers. Vistrel works on the layers of a document; a flattened picture has none.</source>
        <translation>它没有图层。Vistrel 处理文档的图层；合并后的图像没有图层。</translation>
    </message>
    <message>
        <source>Cannot import &quot;%1&quot;: %2</source>
        <translation>无法导入“%1”：%2</translation>
    </message>
    <message>
        <source>it cannot be read (%1).</source>
        <translation>无法读取（%1）。</translation>
    </message>
    <message>
        <source>it ends early, at byte %1.</source>
        <translation>文件在第 %1 字节提前结束。</translation>
    </message>
    <message>
        <source>number %1</source>
        <translation>编号 %1</translation>
    </message>
    <message>
        <source>layer record %1</source>
        <translation>图层记录 %1</translation>
    </message>
    <message>
        <source>the layer rectangle (%1, %2, %3, %4) is not possible</source>
        <translation>图层矩形（%1, %2, %3, %4）不可能</translation>
    </message>
    <message>
        <source>a layer of %1 x %2 pixels is too large</source>
        <translation>%1 x %2 像素的图层太大</translation>
    </message>
    <message>
        <source>a layer cannot have %1 channels</source>
        <translation>图层不能有 %1 个通道</translation>
    </message>
    <message>
        <source>the blend mode signature is missing</source>
        <translation>缺少混合模式标记</translation>
    </message>
    <message>
        <source>the layer&apos;s extra data are shorter than their mask, blending ranges and name</source>
        <translation>图层的附加数据短于其蒙版、混合范围和名称</translation>
    </message>
    <message>
        <source>image resources</source>
        <translation>图像资源</translation>
    </message>
    <message>
        <source>it is not a Photoshop document (too short).</source>
        <translation>它不是 Photoshop 文档（太短）。</translation>
    </message>
    <message>
        <source>file header</source>
        <translation>文件头</translation>
    </message>
    <message>
        <source>it is not a Photoshop document.</source>
        <translation>它不是 Photoshop 文档。</translation>
    </message>
    <message>
        <source>it is a large document (PSB). Vistrel reads Photoshop documents of format version 1; save it as PSD.</source>
        <translation>它是大型文档（PSB）。Vistrel 读取格式版本 1 的 Photoshop 文档；请另存为 PSD。</translation>
    </message>
    <message>
        <source>its format version %1 is not known.</source>
        <translation>未知的格式版本 %1。</translation>
    </message>
    <message>
        <source>it has %1 bit(s) per channel. Vistrel reads 8 bits per channel; convert the document to 8 bits.</source>
        <translation>它每通道 %1 位。Vistrel 读取每通道 8 位的文档；请把文档转换为 8 位。</translation>
    </message>
    <message>
        <source>it is in %1 colour mode. Vistrel reads Grey, RGB and CMYK documents.</source>
        <translation>它是 %1 色彩模式。Vistrel 读取灰度、RGB 和 CMYK 文档。</translation>
    </message>
    <message>
        <source>its canvas of %1 x %2 pixels is not possible.</source>
        <translation>画布尺寸 %1 x %2 像素不可能。</translation>
    </message>
    <message>
        <source>its canvas of %1 x %2 pixels is larger than a Photoshop document can be (%3 pixels each way).</source>
        <translation>画布 %1 x %2 像素大于 Photoshop 文档的上限（每边 %3 像素）。</translation>
    </message>
    <message>
        <source>it ends early, in the %1.</source>
        <translation>文件在%1中提前结束。</translation>
    </message>
    <message>
        <source>the %1 runs %2 bytes past the end of the file.</source>
        <translation>%1超出文件末尾 %2 字节。</translation>
    </message>
    <message>
        <source>colour mode data</source>
        <translation>色彩模式数据</translation>
    </message>
    <message>
        <source>layer and mask information</source>
        <translation>图层和蒙版信息</translation>
    </message>
    <message>
        <source>the layer information runs past its section (byte %1).</source>
        <translation>图层信息超出其区段（第 %1 字节）。</translation>
    </message>
    <message>
        <source>the data of layer %1, channel %2 run past the layer information (byte %3).</source>
        <translation>图层 %1 通道 %2 的数据超出图层信息（第 %3 字节）。</translation>
    </message>
    <message>
        <source>layer %1, channel %2 uses an unknown compression (%3).</source>
        <translation>图层 %1 通道 %2 使用了未知的压缩方式（%3）。</translation>
    </message>
    <message>
        <source>the global layer mask runs past its section (byte %1); the layer information is damaged.</source>
        <translation>全局图层蒙版超出其区段（第 %1 字节）；图层信息已损坏。</translation>
    </message>
    <message>
        <source>it holds no layer with pixels.</source>
        <translation>它没有含像素的图层。</translation>
    </message>
    <message>
        <source>%1: PackBits row %2 overflows the layer width.</source>
        <translation>%1：PackBits 第 %2 行超出图层宽度。</translation>
    </message>
    <message>
        <source>%1: PackBits row %2 decodes to %3 bytes instead of %4.</source>
        <translation>%1：PackBits 第 %2 行解码为 %3 字节，而不是 %4 字节。</translation>
    </message>
    <message>
        <source>%1: the PackBits row counts are cut short.</source>
        <translation>%1：PackBits 行长度表不完整。</translation>
    </message>
    <message>
        <source>%1: PackBits row %2 runs past the channel data.</source>
        <translation>%1：PackBits 第 %2 行超出通道数据。</translation>
    </message>
    <message>
        <source>%1: the ZIP decoder cannot start.</source>
        <translation>%1：ZIP 解码器无法启动。</translation>
    </message>
    <message>
        <source>%1: the ZIP data are damaged.</source>
        <translation>%1：ZIP 数据已损坏。</translation>
    </message>
    <message>
        <source>%1: unknown compression %2.</source>
        <translation>%1：未知的压缩方式 %2。</translation>
    </message>
    <message>
        <source>layer %1, channel %2</source>
        <translation>图层 %1 通道 %2</translation>
    </message>
    <message>
        <source>The file cannot be renamed.</source>
        <translation>无法重命名文件。</translation>
    </message>
    <message>
        <source>Largest shift between neighbouring views: %1 print pixels, %2 of a lens width (layer %3).</source>
        <translation>相邻视图间最大位移：%1 打印像素，%2 个透镜宽度（第 %3 层）。</translation>
    </message>
    <message>
        <source> More than one lens width: the picture will ghost. Lower the depth or the offsets.</source>
        <translation> 超过一个透镜宽度：画面会出现重影。请减小景深或移位。</translation>
    </message>
    <message>
        <source>No column of the picture is covered by every view, so there is nothing to crop to. Turn the crop off, or lower the depth or the offsets.</source>
        <translation>图像中没有一列被所有视图覆盖，无法裁切。请关闭裁切，或减小景深或移位。</translation>
    </message>
    <message>
        <source>%1 columns cut at the edges that not every view covers.</source>
        <translation>边缘裁去 %1 列（并非每个视图都覆盖）。</translation>
    </message>
    <message>
        <source> The height follows to keep the picture&apos;s proportions: %1 x %2 cm.</source>
        <translation>打印高度随之改变，保持画面比例：%1 x %2 厘米。</translation>
    </message>
    <message>
        <source>A relief depth of %1 with a 3D depth of %2 is too large to render. Choose a smaller relief depth.</source>
        <translation>浮雕景深 %1 配合立体景深 %2 太大，无法生成。请选择较小的浮雕景深。</translation>
    </message>
    <message>
        <source>The work files of layer %1 are not %2 x %3 pixels as the layer is: they were changed while Vistrel was working. Import the PSD again.</source>
        <translation>图层 %1 的工作文件不是该图层的 %2 x %3 像素：Vistrel 工作期间它们被改动。请重新导入 PSD。</translation>
    </message>
    <message>
        <source>Views 2 and 6 do not match; make the preview again.</source>
        <translation>视图 2 和 6 不一致；请重新预览。</translation>
    </message>
    <message>
        <source>Cannot write the GIF &quot;%1&quot;: %2</source>
        <translation>无法写入 GIF“%1”：%2</translation>
    </message>
    <message>
        <source>The print would be empty: %1 x %2 pixels. Check its width, height and resolution.</source>
        <translation>印刷图将为空：%1 x %2 像素。请检查宽度、高度和精度。</translation>
    </message>
    <message>
        <source>There are no views to interlace.</source>
        <translation>没有可交错的视图。</translation>
    </message>
    <message>
        <source>The H scale must be at least 1.</source>
        <translation>压缩比例至少为 1。</translation>
    </message>
    <message>
        <source>The lens pitch and the printer resolution must be above 0.</source>
        <translation>光栅节距和打印机精度必须大于 0。</translation>
    </message>
    <message>
        <source>The views are empty.</source>
        <translation>视图是空的。</translation>
    </message>
    <message>
        <source>The views do not match: &quot;%1&quot; is %2 x %3 pixels, &quot;%4&quot; %5 x %6. A view file was changed while Vistrel was working; make the print again.</source>
        <translation>视图不一致：“%1”为 %2 x %3 像素，“%4”为 %5 x %6。Vistrel 工作期间有视图文件被改动；请重新输出印刷图。</translation>
    </message>
    <message>
        <source>The views are %1 x %2 pixels; a Photoshop document holds at most %3 pixels each way.</source>
        <translation>视图为 %1 x %2 像素；Photoshop 文档每边最多 %3 像素。</translation>
    </message>
    <message>
        <source>The views are too large for a Photoshop document (over 4 GB of layers).</source>
        <translation>视图太大，无法存为 Photoshop 文档（图层超过 4 GB）。</translation>
    </message>
    <message>
        <source>The view files of view %1 do not match the document (%2 x %3).</source>
        <translation>视图 %1 的文件与文档（%2 x %3）不一致。</translation>
    </message>
    <message>
        <source>A pitch test needs a step above 0 and a first LPI not above the last.</source>
        <translation>节距测试需要大于 0 的步长，且起始线数不大于结束线数。</translation>
    </message>
    <message>
        <source>A pitch test of %1 strips is too many; it takes at most %2. Choose a larger step or a narrower range.</source>
        <translation>%1 条的节距测试太多；最多 %2 条。请选择更大的步长或更窄的范围。</translation>
    </message>
    <message>
        <source>The LPI of a pitch test must be between 9 and 210.</source>
        <translation>节距测试的线数必须在 9 到 210 之间。</translation>
    </message>
    <message>
        <source>The printer resolution must be between 1 and 100 000 dpi.</source>
        <translation>打印机精度必须在 1 到 100 000 dpi 之间。</translation>
    </message>
    <message>
        <source>The width of a pitch test must be above 0 and at most 21 cm.</source>
        <translation>节距测试的宽度必须大于 0 且不超过 21 厘米。</translation>
    </message>
    <message>
        <source>A pitch test of %1 strips does not fit %2 cm at %3 dpi.</source>
        <translation>%1 条的节距测试在 %3 dpi 下放不进 %2 厘米。</translation>
    </message>
    <message>
        <source>No folder for the strips of the pitch test: %1</source>
        <translation>没有存放节距测试条的文件夹：%1</translation>
    </message>
    <message>
        <source>The strip at %1 lpi came out %2 x %3 pixels instead of %4 x %5.</source>
        <translation>%1 线的测试条生成为 %2 x %3 像素，而不是 %4 x %5。</translation>
    </message>
    <message>
        <source>Not enough memory to make a print of %1 x %2 pixels.</source>
        <translation>内存不足，无法生成 %1 x %2 像素的印刷图。</translation>
    </message>
    <message>
        <source>it cannot be read from its start</source>
        <translation>无法从文件开头读取</translation>
    </message>
    <message>
        <source>TIFF header</source>
        <translation>TIFF 文件头</translation>
    </message>
    <message>
        <source>it does not start with a little-endian header and a directory at byte 8</source>
        <translation>它不是以小端文件头和位于第 8 字节的目录开始</translation>
    </message>
    <message>
        <source>its directory holds %1 entries</source>
        <translation>它的目录有 %1 项</translation>
    </message>
    <message>
        <source>TIFF directory</source>
        <translation>TIFF 目录</translation>
    </message>
    <message>
        <source>it has %1 samples per pixel</source>
        <translation>它每像素有 %1 个样本</translation>
    </message>
    <message>
        <source>its size or data offset is not possible</source>
        <translation>它的尺寸或数据偏移不可能</translation>
    </message>
    <message>
        <source>its pixel rows run past the end of the file</source>
        <translation>它的像素行超出文件末尾</translation>
    </message>
    <message>
        <source>Stream read error</source>
        <translation>读取出错</translation>
    </message>
    <message>
        <source>The view file &quot;%1&quot; changed while the print was being made. Make the print again.</source>
        <translation>生成印刷图期间视图文件“%1”被改动。请重新输出印刷图。</translation>
    </message>
    <message>
        <source>Lenticular print design: depth, flip and relief</source>
        <translation>光栅立体印刷设计：景深、变图和浮雕</translation>
    </message>
    <message>
        <source>Version %1</source>
        <translation>版本 %1</translation>
    </message>
    <message>
        <source>Click to close</source>
        <translation>单击关闭</translation>
    </message>
    <message>
        <source>Click for the web page</source>
        <translation>单击打开网页</translation>
    </message>
    <message>
        <source>settings</source>
        <translation>设置</translation>
    </message>
    <message>
        <source>offsets</source>
        <translation>移位</translation>
    </message>
    <message>
        <source>relief settings</source>
        <translation>浮雕设置</translation>
    </message>
    <message>
        <source>lines</source>
        <translation>勾线</translation>
    </message>
    <message>
        <source>, </source>
        <translation>、</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a folder of this user&apos;s, and no other private folder can be made in &quot;%2&quot; for the work files.</source>
        <translation>“%1”不是本用户的文件夹，且无法在“%2”中另建私有文件夹存放工作文件。</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a regular file</source>
        <translation>“%1”不是普通文件</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is %2 bytes long, far longer than a settings file</source>
        <translation>“%1”长 %2 字节，远超设置文件的长度</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a colour view.</source>
        <translation>“%1”不是彩色视图。</translation>
    </message>
    <message>
        <source>&quot;%1&quot; has %2 samples per pixel instead of %3.</source>
        <translation>“%1”每像素有 %2 个样本，而不是 %3 个。</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a TIFF file of Vistrel&apos;s own layout: %2.</source>
        <translation>“%1”不是 Vistrel 自身格式的 TIFF 文件：%2。</translation>
    </message>
    <message>
        <source>The print would be %1 x %2 pixels in %3: no side can be longer than %4 pixels. Make it narrower, or choose a lower printer resolution or a larger H scale.</source>
        <translation>印刷图将为 %1 x %2 像素（%3）：任何一边都不能超过 %4 像素。请减小宽度，或选择较低的打印机精度或较大的压缩比例。</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not an ICC colour profile.</source>
        <translation>“%1”不是 ICC 色彩配置文件。</translation>
    </message>
</context>
</TS>
