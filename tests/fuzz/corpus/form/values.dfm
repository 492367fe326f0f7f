object Form1: TForm
  Left = 10
  Caption = 'It'#39's'#13#10'ok'
  Font.Style = [fsBold, fsItalic]
  object Images: TImageList
    Height = 8
    Width = 8
  end
  object Timer: TTimer
    Interval = 500
  end
  object M: TdxBarManager
    Style = bmsFlat
    Images = Images
    Categories.Strings = (
      'Default'
      'Edit')
    Bars = <
      item
        Caption = 'Tools'
        ItemLinks = <
          item
            Item = B
            UserWidth = 40
          end
          item
            Item = L
            BeginGroup = True
          end>
        Visible = True
      end>
    object B: TdxBarButton
      Caption = 'b'
      Category = 1
      ImageIndex = 0
    end
    object L: TdxBarListItem
      Category = 0
      Items.Strings = (
        'one'
        'two')
    end
  end
  object D: TdxBarDockControl
    Align = dalBottom
    BarManager = M
  end
end
