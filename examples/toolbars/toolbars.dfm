object ToolbarsForm: TMainForm
  Left = 60
  Top = 50
  Caption = 'Trestle — панели инструментов'
  Font.Charset = DEFAULT_CHARSET
  Font.Color = clWindowText
  Font.Height = -11
  Font.Name = 'MS Sans Serif'
  ClientHeight = 533
  ClientWidth = 792
  object SidePanel: TSidePanel
    Left = 616
    Top = 75
    Width = 176
    Height = 458
    Align = alRight
    Caption = 'SidePanel'
    object SideHeading: THeading
      Left = 0
      Top = 0
      Width = 176
      Height = 24
      Align = alTop
      Caption = 'SideHeading'
    end
    object SideDock: TdxBarDockControl
      Left = 0
      Top = 24
      Width = 176
      Height = 26
      Caption = 'SideDock'
      BarManager = BarManager
    end
    object SideNote: TTextBox
      Left = 0
      Top = 50
      Width = 176
      Height = 408
      Align = alClient
      Caption = 'SideNote'
      Font.Charset = DEFAULT_CHARSET
      Font.Color = clGrayText
      Font.Height = -11
      Font.Name = 'MS Sans Serif'
      ParentFont = False
      Body =
        'Эта панель — своё место для панеле' +
        'й инструментов: здесь стоит панель ' +
        '«Масштаб», и сюда можно перетащить ' +
        'любую другую.'
    end
  end
  object Page: TPageView
    Left = 26
    Top = 75
    Width = 590
    Height = 458
    Align = alClient
    Caption = 'Page'
  end
  object BarManager: TdxBarManager
    Font.Charset = DEFAULT_CHARSET
    Font.Color = clWindowText
    Font.Height = -11
    Font.Name = 'Tahoma'
    Bars = <
      item
        Caption = 'Главное меню'
        DockedDockingStyle = dsTop
        DockedLeft = 0
        DockedTop = 0
        DockingStyle = dsTop
        FloatLeft = 0
        FloatTop = 0
        FloatClientWidth = 0
        FloatClientHeight = 0
        IsMainMenu = True
        ItemLinks = <
          item
            Item = mnuFile
            Visible = True
          end
          item
            Item = mnuEdit
            Visible = True
          end
          item
            Item = mnuView
            Visible = True
          end
          item
            Item = mnuHelp
            Visible = True
          end>
        MultiLine = True
        Name = 'Главное меню'
        OneOnRow = False
        Row = 0
        UseOwnFont = False
        Visible = True
        WholeRow = True
      end
      item
        Caption = 'Стандартная'
        DockedDockingStyle = dsTop
        DockedLeft = 0
        DockedTop = 0
        DockingStyle = dsTop
        FloatLeft = 0
        FloatTop = 0
        FloatClientWidth = 0
        FloatClientHeight = 0
        ItemLinks = <
          item
            Item = btnNew
            Visible = True
          end
          item
            Item = btnOpen
            Visible = True
          end
          item
            Item = btnSave
            Visible = True
          end
          item
            BeginGroup = True
            Item = btnPrint
            Visible = True
          end
          item
            BeginGroup = True
            Item = btnCut
            Visible = True
          end
          item
            Item = btnCopy
            Visible = True
          end
          item
            Item = btnPaste
            Visible = True
          end
          item
            BeginGroup = True
            Item = btnUndo
            Visible = True
          end
          item
            Item = btnRedo
            Visible = True
          end>
        Name = 'Стандартная'
        OneOnRow = False
        Row = 1
        UseOwnFont = False
        Visible = True
        WholeRow = False
      end
      item
        Caption = 'Форматирование'
        DockedDockingStyle = dsTop
        DockedLeft = 300
        DockedTop = 0
        DockingStyle = dsTop
        FloatLeft = 0
        FloatTop = 0
        FloatClientWidth = 0
        FloatClientHeight = 0
        ItemLinks = <
          item
            Item = btnBold
            Visible = True
          end
          item
            Item = btnItalic
            Visible = True
          end
          item
            Item = btnUnderline
            Visible = True
          end
          item
            BeginGroup = True
            Item = btnAlignLeft
            Visible = True
          end
          item
            Item = btnAlignCenter
            Visible = True
          end
          item
            Item = btnAlignRight
            Visible = True
          end>
        Name = 'Форматирование'
        OneOnRow = False
        Row = 1
        UseOwnFont = False
        Visible = True
        WholeRow = False
      end
      item
        Caption = 'Шрифт'
        DockedDockingStyle = dsTop
        DockedLeft = 0
        DockedTop = 0
        DockingStyle = dsTop
        FloatLeft = 0
        FloatTop = 0
        FloatClientWidth = 0
        FloatClientHeight = 0
        ItemLinks = <
          item
            Item = cbFont
            Visible = True
          end
          item
            Item = edSize
            Visible = True
          end
          item
            BeginGroup = True
            Item = lstCase
            Visible = True
          end>
        Name = 'Шрифт'
        OneOnRow = True
        Row = 2
        UseOwnFont = False
        Visible = True
        WholeRow = False
      end
      item
        Caption = 'Поиск'
        DockedDockingStyle = dsTop
        DockedLeft = 395
        DockedTop = 0
        DockingStyle = dsTop
        FloatLeft = 0
        FloatTop = 0
        FloatClientWidth = 0
        FloatClientHeight = 0
        ItemLinks = <
          item
            Item = btnFind
            Visible = True
          end
          item
            Item = btnReplace
            Visible = True
          end>
        Name = 'Поиск'
        OneOnRow = False
        Row = 2
        UseOwnFont = False
        Visible = True
        WholeRow = False
      end
      item
        Caption = 'Рисование'
        DockedDockingStyle = dsTop
        DockedLeft = 0
        DockedTop = 0
        DockingStyle = dsLeft
        FloatLeft = 0
        FloatTop = 0
        FloatClientWidth = 0
        FloatClientHeight = 0
        ItemLinks = <
          item
            Item = btnPointer
            Visible = True
          end
          item
            BeginGroup = True
            Item = btnLine
            Visible = True
          end
          item
            Item = btnRectangle
            Visible = True
          end
          item
            Item = btnEllipse
            Visible = True
          end
          item
            Item = btnText
            Visible = True
          end>
        Name = 'Рисование'
        OneOnRow = False
        Row = 0
        UseOwnFont = False
        Visible = True
        WholeRow = False
      end
      item
        Caption = 'Цвет'
        DockedDockingStyle = dsTop
        DockedLeft = 0
        DockedTop = 0
        DockingStyle = dsNone
        FloatLeft = 490
        FloatTop = 430
        FloatClientWidth = 69
        FloatClientHeight = 0
        ItemLinks = <
          item
            Item = btnColor0
            Visible = True
          end
          item
            Item = btnColor1
            Visible = True
          end
          item
            Item = btnColor2
            Visible = True
          end
          item
            Item = btnColor3
            Visible = True
          end
          item
            Item = btnColor4
            Visible = True
          end
          item
            Item = btnColor5
            Visible = True
          end>
        Name = 'Цвет'
        OneOnRow = False
        Row = 0
        UseOwnFont = False
        Visible = True
        WholeRow = False
      end
      item
        Caption = 'Масштаб'
        DockControl = SideDock
        DockedDockingStyle = dsTop
        DockedLeft = 0
        DockedTop = 0
        FloatLeft = 0
        FloatTop = 0
        FloatClientWidth = 0
        FloatClientHeight = 0
        ItemLinks = <
          item
            Item = btnZoomOut
            Visible = True
          end
          item
            Item = btnZoom
            Visible = True
          end
          item
            Item = btnZoomIn
            Visible = True
          end>
        Name = 'Масштаб'
        OneOnRow = False
        Row = 0
        UseOwnFont = False
        Visible = True
        WholeRow = False
      end>
    Categories.Strings = (
      'Default')
    Categories.ItemsVisibles = (
      2)
    Categories.Visibles = (
      True)
    Images = Images
    Style = bmsOffice11
    UseSystemFont = True
    OnBarVisibleChange = BarVisibleChange
    DockControlHeights = (
      26
      0
      75
      0)
  end
  object Images: TImageList
  end
  object btnNew: TdxBarButton
    Caption = '&Создать'
    Category = -1
    Hint = 'Создать'
    Visible = ivAlways
    ImageIndex = 0
    ShortCut = 16462
    OnClick = CommandClick
  end
  object btnOpen: TdxBarButton
    Caption = '&Открыть...'
    Category = -1
    Hint = 'Открыть'
    Visible = ivAlways
    ImageIndex = 1
    ShortCut = 16463
    OnClick = CommandClick
  end
  object btnSave: TdxBarButton
    Caption = '&Сохранить'
    Category = -1
    Hint = 'Сохранить'
    Visible = ivAlways
    ImageIndex = 2
    ShortCut = 16467
    OnClick = CommandClick
  end
  object btnPrint: TdxBarButton
    Caption = '&Печать'
    Category = -1
    Hint = 'Печать'
    Visible = ivAlways
    ButtonStyle = bsDropDown
    DropDownMenu = mnuPrint
    PaintStyle = psCaptionGlyph
    ImageIndex = 3
    OnClick = CommandClick
  end
  object mnuPrint: TdxBarPopupMenu
    BarManager = BarManager
    ItemLinks = <
      item
        Item = btnPrintTo
        Visible = True
      end
      item
        Item = btnPreview
        Visible = True
      end
      item
        BeginGroup = True
        Item = btnPageSetup
        Visible = True
      end>
    UseOwnFont = False
  end
  object btnPrintTo: TdxBarButton
    Caption = '&Печать...'
    Category = -1
    Hint = 'Печать'
    Visible = ivAlways
    ImageIndex = 3
    ShortCut = 16464
    OnClick = CommandClick
  end
  object btnPreview: TdxBarButton
    Caption = 'П&редварительный просмотр'
    Category = -1
    Hint = 'Предварительный просмотр'
    Visible = ivAlways
    ImageIndex = 4
    OnClick = CommandClick
  end
  object btnPageSetup: TdxBarButton
    Caption = 'Параметры &страницы...'
    Category = -1
    Hint = 'Параметры страницы'
    Visible = ivAlways
    OnClick = CommandClick
  end
  object btnCut: TdxBarButton
    Caption = 'Вы&резать'
    Category = -1
    Hint = 'Вырезать'
    Visible = ivAlways
    ImageIndex = 5
    OnClick = CommandClick
  end
  object btnCopy: TdxBarButton
    Caption = '&Копировать'
    Category = -1
    Hint = 'Копировать'
    Visible = ivAlways
    ImageIndex = 6
    OnClick = CommandClick
  end
  object btnPaste: TdxBarButton
    Caption = '&Вставить'
    Category = -1
    Hint = 'Вставить'
    Visible = ivAlways
    ImageIndex = 7
    OnClick = CommandClick
  end
  object btnUndo: TdxBarButton
    Caption = '&Отменить'
    Category = -1
    Hint = 'Отменить'
    Visible = ivAlways
    ImageIndex = 8
    OnClick = CommandClick
  end
  object btnRedo: TdxBarButton
    Caption = '&Вернуть'
    Category = -1
    Hint = 'Вернуть'
    Visible = ivAlways
    ImageIndex = 9
    OnClick = CommandClick
  end
  object btnBold: TdxBarButton
    Caption = 'Полужирный'
    Category = -1
    Hint = 'Полужирный'
    Visible = ivAlways
    ButtonStyle = bsChecked
    ImageIndex = 10
    OnClick = StyleClick
  end
  object btnItalic: TdxBarButton
    Tag = 1
    Caption = 'Курсив'
    Category = -1
    Hint = 'Курсив'
    Visible = ivAlways
    ButtonStyle = bsChecked
    ImageIndex = 11
    OnClick = StyleClick
  end
  object btnUnderline: TdxBarButton
    Tag = 2
    Caption = 'Подчёркнутый'
    Category = -1
    Hint = 'Подчёркнутый'
    Visible = ivAlways
    ButtonStyle = bsChecked
    ImageIndex = 12
    OnClick = StyleClick
  end
  object btnAlignLeft: TdxBarButton
    Tag = 8
    Caption = 'По левому краю'
    Category = -1
    Hint = 'По левому краю'
    Visible = ivAlways
    ButtonStyle = bsChecked
    Down = True
    GroupIndex = 1
    ImageIndex = 13
    OnClick = AlignClick
  end
  object btnAlignCenter: TdxBarButton
    Tag = 2
    Caption = 'По центру'
    Category = -1
    Hint = 'По центру'
    Visible = ivAlways
    ButtonStyle = bsChecked
    GroupIndex = 1
    ImageIndex = 14
    OnClick = AlignClick
  end
  object btnAlignRight: TdxBarButton
    Tag = 11
    Caption = 'По правому краю'
    Category = -1
    Hint = 'По правому краю'
    Visible = ivAlways
    ButtonStyle = bsChecked
    GroupIndex = 1
    ImageIndex = 15
    OnClick = AlignClick
  end
  object btnFind: TdxBarButton
    Caption = '&Найти...'
    Category = -1
    Hint = 'Найти'
    Visible = ivAlways
    PaintStyle = psCaptionGlyph
    ImageIndex = 16
    ShortCut = 16454
    OnClick = CommandClick
  end
  object btnReplace: TdxBarButton
    Caption = '&Заменить...'
    Category = -1
    Hint = 'Заменить'
    Visible = ivAlways
    PaintStyle = psCaptionGlyph
    ImageIndex = 17
    ShortCut = 16456
    OnClick = CommandClick
  end
  object cbFont: TdxBarCombo
    Caption = 'Шрифт:'
    Category = -1
    Hint = 'Шрифт:'
    Visible = ivAlways
    Text = 'DejaVu Sans'
    OnChange = FontChange
    ShowCaption = True
    Width = 140
    Items.Strings = (
      'DejaVu Sans'
      'DejaVu Serif'
      'DejaVu Sans Mono')
    ItemIndex = 0
  end
  object edSize: TdxBarEdit
    Caption = 'Размер:'
    Category = -1
    Hint = 'Размер:'
    Visible = ivAlways
    Text = '12'
    OnChange = SizeChange
    MaxLength = 2
    ShowCaption = True
    Width = 32
  end
  object lstCase: TdxBarListItem
    Caption = 'Регистр'
    Category = -1
    Visible = ivAlways
    ImageIndex = 26
    OnClick = CaseClick
    Items.Strings = (
      'Как в предложениях'
      'все строчные'
      'ВСЕ ПРОПИСНЫЕ')
    ItemIndex = 0
    ShowCheck = True
  end
  object btnPointer: TdxBarButton
    Caption = 'Указатель'
    Category = -1
    Hint = 'Указатель'
    Visible = ivAlways
    ButtonStyle = bsChecked
    Down = True
    GroupIndex = 2
    ImageIndex = 18
    OnClick = ToolClick
  end
  object btnLine: TdxBarButton
    Caption = 'Линия'
    Category = -1
    Hint = 'Линия'
    Visible = ivAlways
    ButtonStyle = bsChecked
    GroupIndex = 2
    ImageIndex = 19
    OnClick = ToolClick
  end
  object btnRectangle: TdxBarButton
    Caption = 'Прямоугольник'
    Category = -1
    Hint = 'Прямоугольник'
    Visible = ivAlways
    ButtonStyle = bsChecked
    GroupIndex = 2
    ImageIndex = 20
    OnClick = ToolClick
  end
  object btnEllipse: TdxBarButton
    Caption = 'Эллипс'
    Category = -1
    Hint = 'Эллипс'
    Visible = ivAlways
    ButtonStyle = bsChecked
    GroupIndex = 2
    ImageIndex = 21
    OnClick = ToolClick
  end
  object btnText: TdxBarButton
    Caption = 'Надпись'
    Category = -1
    Hint = 'Надпись'
    Visible = ivAlways
    ButtonStyle = bsChecked
    GroupIndex = 2
    ImageIndex = 22
    OnClick = ToolClick
  end
  object btnColor0: TdxBarButton
    Caption = 'Чёрный'
    Category = -1
    Hint = 'Чёрный'
    Visible = ivAlways
    ButtonStyle = bsChecked
    Down = True
    GroupIndex = 3
    ImageIndex = 27
    OnClick = ColorClick
  end
  object btnColor1: TdxBarButton
    Tag = 1
    Caption = 'Красный'
    Category = -1
    Hint = 'Красный'
    Visible = ivAlways
    ButtonStyle = bsChecked
    GroupIndex = 3
    ImageIndex = 28
    OnClick = ColorClick
  end
  object btnColor2: TdxBarButton
    Tag = 2
    Caption = 'Зелёный'
    Category = -1
    Hint = 'Зелёный'
    Visible = ivAlways
    ButtonStyle = bsChecked
    GroupIndex = 3
    ImageIndex = 29
    OnClick = ColorClick
  end
  object btnColor3: TdxBarButton
    Tag = 3
    Caption = 'Синий'
    Category = -1
    Hint = 'Синий'
    Visible = ivAlways
    ButtonStyle = bsChecked
    GroupIndex = 3
    ImageIndex = 30
    OnClick = ColorClick
  end
  object btnColor4: TdxBarButton
    Tag = 4
    Caption = 'Оранжевый'
    Category = -1
    Hint = 'Оранжевый'
    Visible = ivAlways
    ButtonStyle = bsChecked
    GroupIndex = 3
    ImageIndex = 31
    OnClick = ColorClick
  end
  object btnColor5: TdxBarButton
    Tag = 5
    Caption = 'Фиолетовый'
    Category = -1
    Hint = 'Фиолетовый'
    Visible = ivAlways
    ButtonStyle = bsChecked
    GroupIndex = 3
    ImageIndex = 32
    OnClick = ColorClick
  end
  object btnZoomOut: TdxBarButton
    Tag = -1
    Caption = '&Уменьшить'
    Category = -1
    Hint = 'Уменьшить'
    Visible = ivAlways
    ImageIndex = 24
    OnClick = ZoomClick
  end
  object btnZoom: TdxBarButton
    Caption = '100 %'
    Category = -1
    Hint = '100 %'
    Visible = ivAlways
    PaintStyle = psCaption
    OnClick = ZoomClick
  end
  object btnZoomIn: TdxBarButton
    Tag = 1
    Caption = 'У&величить'
    Category = -1
    Hint = 'Увеличить'
    Visible = ivAlways
    ImageIndex = 23
    OnClick = ZoomClick
  end
  object mnuFile: TdxBarSubItem
    Caption = '&Файл'
    Category = -1
    Visible = ivAlways
    ItemLinks = <
      item
        Item = btnNew
        Visible = True
      end
      item
        Item = btnOpen
        Visible = True
      end
      item
        Item = btnSave
        Visible = True
      end
      item
        BeginGroup = True
        Item = btnPrintTo
        Visible = True
      end
      item
        Item = btnPreview
        Visible = True
      end
      item
        BeginGroup = True
        Item = btnExit
        Visible = True
      end>
  end
  object btnExit: TdxBarButton
    Caption = 'В&ыход'
    Category = -1
    Hint = 'Выход'
    Visible = ivAlways
    OnClick = ExitClick
  end
  object mnuEdit: TdxBarSubItem
    Caption = '&Правка'
    Category = -1
    Visible = ivAlways
    ItemLinks = <
      item
        Item = btnUndo
        Visible = True
      end
      item
        Item = btnRedo
        Visible = True
      end
      item
        BeginGroup = True
        Item = btnCut
        Visible = True
      end
      item
        Item = btnCopy
        Visible = True
      end
      item
        Item = btnPaste
        Visible = True
      end
      item
        BeginGroup = True
        Item = btnFind
        Visible = True
      end
      item
        Item = btnReplace
        Visible = True
      end>
  end
  object mnuView: TdxBarSubItem
    Caption = '&Вид'
    Category = -1
    Visible = ivAlways
    ItemLinks = <
      item
        Item = mnuToolbars
        Visible = True
      end
      item
        BeginGroup = True
        Item = btnZoomIn
        Visible = True
      end
      item
        Item = btnZoomOut
        Visible = True
      end>
  end
  object mnuToolbars: TdxBarSubItem
    Caption = '&Панели инструментов'
    Category = -1
    Visible = ivAlways
    ItemLinks = <
      item
        Item = btnToolbar0
        Visible = True
      end
      item
        Item = btnToolbar1
        Visible = True
      end
      item
        Item = btnToolbar2
        Visible = True
      end
      item
        Item = btnToolbar3
        Visible = True
      end
      item
        Item = btnToolbar4
        Visible = True
      end
      item
        Item = btnToolbar5
        Visible = True
      end
      item
        Item = btnToolbar6
        Visible = True
      end>
  end
  object btnToolbar0: TdxBarButton
    Caption = 'Стандартная'
    Category = -1
    Hint = 'Стандартная'
    Visible = ivAlways
    ButtonStyle = bsChecked
    Down = True
    OnClick = ToolbarClick
  end
  object btnToolbar1: TdxBarButton
    Caption = 'Форматирование'
    Category = -1
    Hint = 'Форматирование'
    Visible = ivAlways
    ButtonStyle = bsChecked
    Down = True
    OnClick = ToolbarClick
  end
  object btnToolbar2: TdxBarButton
    Caption = 'Поиск'
    Category = -1
    Hint = 'Поиск'
    Visible = ivAlways
    ButtonStyle = bsChecked
    Down = True
    OnClick = ToolbarClick
  end
  object btnToolbar3: TdxBarButton
    Caption = 'Шрифт'
    Category = -1
    Hint = 'Шрифт'
    Visible = ivAlways
    ButtonStyle = bsChecked
    Down = True
    OnClick = ToolbarClick
  end
  object btnToolbar4: TdxBarButton
    Caption = 'Рисование'
    Category = -1
    Hint = 'Рисование'
    Visible = ivAlways
    ButtonStyle = bsChecked
    Down = True
    OnClick = ToolbarClick
  end
  object btnToolbar5: TdxBarButton
    Caption = 'Цвет'
    Category = -1
    Hint = 'Цвет'
    Visible = ivAlways
    ButtonStyle = bsChecked
    Down = True
    OnClick = ToolbarClick
  end
  object btnToolbar6: TdxBarButton
    Caption = 'Масштаб'
    Category = -1
    Hint = 'Масштаб'
    Visible = ivAlways
    ButtonStyle = bsChecked
    Down = True
    OnClick = ToolbarClick
  end
  object mnuHelp: TdxBarSubItem
    Caption = '&Справка'
    Category = -1
    Visible = ivAlways
    ItemLinks = <
      item
        Item = btnAbout
        Visible = True
      end>
  end
  object btnAbout: TdxBarButton
    Caption = '&О программе...'
    Category = -1
    Hint = 'О программе'
    Visible = ivAlways
    ImageIndex = 25
    OnClick = AboutClick
  end
end
