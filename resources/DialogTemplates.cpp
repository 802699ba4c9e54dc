#include "resources/DialogTemplate.h"

#include <map>

#include "resources/ResourceIds.h"

const DialogTemplate* FindDialogTemplate(int id)
{
    for (const DialogTemplate* dialog : {&AboutBoxTemplate(), &MainWindowTemplate(), &StatusPanelTemplate(),
                                         &SettingsPanelTemplate(), &ScriptPanelTemplate(), &SleepDialogTemplate()})
    {
        if (dialog->id == id)
            return dialog;
    }
    return nullptr;
}

std::string LoadResourceString(int id)
{
    static const std::map<int, std::string> strings = {
        {ResourceId::AboutMenuText, "&About Quorrel..."},
        {ResourceId::SocketsFailedText, "Windows sockets initialization failed."},
    };
    auto found = strings.find(id);
    return found == strings.end() ? std::string() : found->second;
}
