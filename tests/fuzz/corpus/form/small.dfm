object ResourceForm: TResourceForm
  Caption = 'From the resource'
  object Holder: THolder
    OnPing = Ping
  end
end
