#pragma once

#include <QMainWindow>

#include <memory>

class TCard;
class TCardForm;

// A plain window around one editing window, with the tools and a few commands, until the
// program's main window takes its place.
class TEditorHost : public QMainWindow {
    Q_OBJECT
public:
    explicit TEditorHost(std::unique_ptr<TCard> card);
    TCardForm* Form() const { return FForm; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildActions();
    void SaveAs();

    TCardForm* FForm;
};
