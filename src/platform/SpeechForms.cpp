#include "platform/SpeechForms.h"

#include <QMessageBox>

QString SpeechTopicText(TSpeechTopic topic) {
    switch (topic) {
    case TSpeechTopic::Training:
        return QStringLiteral("This speech recognition engine needs no training: it understands "
                              "speakers of US English as they are.");
    case TSpeechTopic::Users:
        return QStringLiteral("This speech recognition engine has one user, who needs no set-up: "
                              "there are no users to add, delete or change.");
    case TSpeechTopic::Microphone:
        return QStringLiteral("Dictation listens to the system's default microphone. Choose it and "
                              "set its level in the system's sound settings.");
    }
    return {};
}

void ShowSpeechTopic(QWidget* parent, TSpeechTopic topic) {
    QMessageBox box(QMessageBox::Information, QStringLiteral("Speech Recognition"),
                    SpeechTopicText(topic), QMessageBox::Ok, parent);
    box.setObjectName(QStringLiteral("SpeechTopicBox"));
    box.exec();
}
