#pragma once
// An edit box bound to one field of a data set's current row: it shows the
// field, and typing into it puts the row into edit mode and sets the field.

#include <QLineEdit>
#include <QPointer>

class DataSet;

class CampoDati : public QLineEdit {
    Q_OBJECT
public:
    CampoDati(DataSet& ds, const QString& campo, QWidget* parent = nullptr);

    const QString& campo() const { return campo_; }
    // Shows the field again: the data set moves and opens by itself, but a
    // value set in code while the row is edited tells nobody.
    void aggiorna();

private:
    void scritto(const QString& testo);

    QPointer<DataSet> ds_;
    QString campo_;
};
