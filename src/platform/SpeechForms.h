#pragma once

#include <QString>

class QWidget;

enum class TSpeechTopic { Training, Users, Microphone };

// What the Train, Modify Users and Set Up Microphone commands tell about this recogniser.
QString SpeechTopicText(TSpeechTopic topic);
// Shows it in a small information box.
void ShowSpeechTopic(QWidget* parent, TSpeechTopic topic);
