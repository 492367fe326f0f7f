object Form1: TForm
  Left = 0
  Top = 0
  Caption = 'Form1'
  Font.Charset = DEFAULT_CHARSET
  Font.Color = clWindowText
  Font.Height = -11
  Font.Name = 'MS Sans Serif'
  ClientHeight = 213
  ClientWidth = 312
  object BarManager1: TdxBarManager
    Font.Charset = DEFAULT_CHARSET
    Font.Color = clWindowText
    Font.Height = -11
    Font.Name = 'Tahoma'
    Bars = <
      item
        Caption = 'Standard'
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
            Item = btnOpen
            UserCaption = 'Open it'
            UserDefine = [udCaption]
            Visible = True
          end>
        Name = 'Standard'
        OneOnRow = False
        Row = 0
        UseOwnFont = False
        Visible = True
        WholeRow = False
      end>
    Categories.Strings = (
      'Default'
      'File')
    Categories.ItemsVisibles = (
      2
      2)
    Categories.Visibles = (
      True
      True)
    UseSystemFont = True
    DockControlHeights = (
      0
      0
      26
      0)
    object btnOpen: TdxBarButton
      Caption = '&Open'
      Category = 1
      Hint = 'Open'
      Visible = ivAlways
    end
    object mnuFile: TdxBarSubItem
      Caption = '&File'
      Category = 0
      Visible = ivAlways
      ItemLinks = <
        item
          Item = btnOpen
          Visible = True
        end>
    end
  end
  object Popup: TdxBarPopupMenu
    BarManager = BarManager1
    ItemLinks = <
      item
        Item = btnOpen
        Visible = True
      end>
    UseOwnFont = False
  end
end
