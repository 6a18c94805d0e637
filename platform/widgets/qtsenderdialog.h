// The small window titled Zelvora that asks the author for their own address: the focus in the
// address field, Enter accepts, a wrong address is said in the window, which stays.
#pragma once

#include "sendersettings.h"

class QWidget;

class QtSenderDialog final : public SenderDialog
{
public:
    std::optional<Sender> ask(const Sender &offered,
                              const std::function<QString(const Sender &)> &problem) override;
};
