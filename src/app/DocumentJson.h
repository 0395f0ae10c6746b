#pragma once

#include <QJsonArray>
#include <QJsonObject>

class TCard;
class TCardObject;
class TCardPanel;
class TEventTable;
class TTemplateTable;

// The document as JSON, for "qdx dump": every stored field under its own name.
QJsonObject CardToJson(const TCard& card, bool withLayout);
QJsonObject ObjectToJson(const TCardObject& object);
QJsonObject PanelLayoutToJson(const TCardPanel& panel);
QJsonObject TemplateIndexToJson(const TTemplateTable& index);
QJsonArray EventsToJson(const TEventTable& events);
