#pragma once

#include <QJsonObject>

class TCard;
class TCardObject;
class TCardPanel;

// The document as JSON, for "qdx dump": every stored field under its own name.
QJsonObject CardToJson(const TCard& card, bool withLayout);
QJsonObject ObjectToJson(const TCardObject& object);
QJsonObject PanelLayoutToJson(const TCardPanel& panel);
