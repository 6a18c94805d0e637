// The platform services a window is given when it is created. Real adapters in main(),
// fakes in the tests; the windows never reach the platform any other way.
#pragma once

class MessageBox;
class Launcher;
class Clock;
class CommonDialog;
class Shell;
class MailHandler;
class Notifier;
class SentCopies;
class SenderSettings;
class SenderDialog;

struct Services
{
    MessageBox *messageBox = nullptr;
    Launcher *launcher = nullptr;
    Clock *clock = nullptr;
    CommonDialog *fontDialog = nullptr;
    Shell *shell = nullptr;
    MailHandler *mail = nullptr;
    Notifier *notifier = nullptr; // none: successful sends are told by a note in the window
    SentCopies *sentCopies = nullptr; // none: no copies are kept
    SenderSettings *senderSettings = nullptr; // none: the transport names the sender
    SenderDialog *senderDialog = nullptr;
};
