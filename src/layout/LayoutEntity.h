#pragma once

#include "lcm/EnumDetail.h"

#include <QHash>
#include <QString>
#include <QVariant>
#include <QVariantMap>

class BrlDimension;
class LayoutCommand;
class PaperSettings;
class ParameterList;
class PropValueList;
class TableSettings;

// The working form of one layout: its parameter map plus the rules that keep it consistent.
// Every layout read from a file, received from a client or written back passes through it: old
// files are brought up to date (update), parameters that are not stored are stripped (filterData),
// every stored parameter is checked against its value list or type (validate), the page geometry
// gives the limits of lines, characters and margins (supplyExtraProperties), a changed parameter
// repairs the ones that depend on it (sanitize), and getValues answers which values a parameter
// may take now. A plain value, copied freely; it never throws and reports through results and
// log lines. Values of any type may arrive from a client: reads of a wrong type answer the read's
// failure value, and validate() refuses them.
class LayoutEntity {
public:
    // The shared objects the rules consult, and the creator text of layouts made on this machine.
    struct Context {
        const ParameterList* parameterList = nullptr;
        const PropValueList* valueList = nullptr;
        const PaperSettings* paperSettings = nullptr;
        TableSettings* tableSettings = nullptr;
        const BrlDimension* brlDimension = nullptr;
        const LayoutCommand* commands = nullptr;
        QString creator;
        // The answers of the table metadata that update() looks up, by table name, shared by the
        // layouts of one pass over the store (many layouts name the same tables); none: every
        // layout looks them up anew.
        QHash<QString, QString>* tableLookups = nullptr;
    };

    // Valid when `data` holds anything: an entity of an unreadable file is built from nothing.
    LayoutEntity(const Context& context, const QVariantMap& data);

    const Context& context() const { return m_context; }
    bool isValid() const { return m_valid; }
    // The whole map, or only the parameters the parameter list marks as stored.
    QVariantMap getData(bool storedOnly) const;
    void setValue(const QString& parameter, const QVariant& value);

    // Typed reads: a missing value reads as "", -1 and -1.0; a value that is no number (or no
    // whole number within int for getInt) as -1 and -1.0.
    QString getText(const QString& parameter) const;
    int getInt(const QString& parameter) const;
    double getFloat(const QString& parameter) const;

    // The 0-based position of the parameter's text in `list`, -1 when it is not listed; and the
    // enumerator of `enumeration` that this position stands for, -1 when none.
    int positionOf(lcm::RowValueList list, const QString& parameter) const;
    int enumeratorOf(lcm::RowValueList list, const QString& parameter, const char* enumeration) const;
    // The description of the entry of `list` whose intValue is `intValue`; empty when none.
    QString descriptionOf(lcm::RowValueList list, int intValue) const;

    // A duplexing mode that folds the paper: "booklet" or "z-folding" in its text.
    static bool isFolding(const QString& duplexing);

    // Migration of old files: adds what is missing, rewrites superseded table names. True when
    // anything changed.
    bool update();
    QVariantMap findMissingProperties() const;
    QVariantMap findObsoleteProperties() const;
    QVariantMap findReplacedProperties() const;

    // Removes the parameters of the parameter list that are not stored (logging those missing).
    void filterData();
    // Every stored parameter present with a value its definition takes.
    bool validate() const;

    // Repairs what depends on `parameter` after a client changed it from `previousValue`; `extra`
    // is the geometry before the change.
    void sanitize(const QString& parameter, const QString& previousValue, const QVariantMap& extra);
    // The page geometry (see the class comment of LayoutSettings for its keys); empty when the
    // paper or a cell distance is unknown or the values give no page.
    QVariantMap supplyExtraProperties() const;
    // The valid values of `parameter` after `changedParameter` changed from `previousValue`
    // (empty: nothing changed), with the value type and the repaired layout data.
    QVariantMap getValues(const QString& parameter, const QString& changedParameter, const QString& previousValue);

    bool filterRowValues(lcm::RowValueList list, const QVariantMap& extra, QVariantMap& out) const;
    bool filterListValues(lcm::RowValueList list, const QVariantMap& extra, QVariantMap& out) const;
    bool filterNumericValues(const QString& parameter, const QVariantMap& extra, QVariantMap& out) const;

private:
    bool hasParameterList() const;
    // The value-type checks of validate() for one stored parameter.
    bool valueFits(const QString& parameter, const QVariant& value) const;
    // The current name of a replaced table `name` of `parameter` ("Liblouis table": the active table
    // with its source file when `obsolete`, else either family's "replaced-by:"); empty when the
    // table stays. False when the name cannot be parsed.
    bool successorOf(const QString& parameter, const QString& name, bool obsolete, QString& successor) const;
    // The dot count (6 or 8) of "Braille cell dots"; -1 when it names none.
    int cellDots() const;
    // Sets `parameter` to `value` when it differs, logging "<what> changed to <value>".
    void change(const QString& parameter, const QString& value, const char* what);
    void applyLimits(bool maxLines, bool maxCharacters, const QVariantMap& extra);

    Context m_context;
    bool m_valid;
    QVariantMap m_data;
};
