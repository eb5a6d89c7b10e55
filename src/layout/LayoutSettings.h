#pragma once

#include "LayoutEntity.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QVariantMap>

class BrlDimension;
class DocSettingList;
class LayoutCommand;
class LayoutRestore;
class PaperSettings;
class ParameterList;
class PropValueList;
class SystemSettings;
class TableSettings;

// The store of the numbered layouts, "layout.1" to "layout.99" in the state directory, one of them
// active (the machine parameter "Layout file"). It creates, copies, deletes, reads and writes them
// through LayoutEntity, so that what reaches a file is a complete, valid layout of stored
// parameters, and at start-up (initialize) brings every file up to date and puts the factory copy
// in place of one that is damaged or invalid.
//
// Layout numbers are listed from the directory (NumberedFiles: "layout.7.bak" counts as 7,
// "layout.x" as nothing). Layout 1 always exists and cannot be deleted.
class LayoutSettings : public QObject {
    Q_OBJECT

public:
    // The largest layout file setLayoutFromPath reads; layouts are a few KiB.
    static constexpr qint64 maxLayoutFileSize = 64 * 1024;

    LayoutSettings(const BrlDimension& brlDimension, const DocSettingList& docSettingList,
        const LayoutCommand& layoutCommand, const LayoutRestore& layoutRestore, ParameterList& parameterList,
        const PropValueList& valueList, const PaperSettings& paperSettings, TableSettings& tableSettings,
        SystemSettings& systemSettings, QObject* parent = nullptr);

    // The objects the layout command reaches through the store.
    const DocSettingList& docSettingList() const { return m_docSettingList; }
    const LayoutRestore& layoutRestore() const { return m_layoutRestore; }
    const ParameterList& parameterList() const { return m_parameterList; }
    const PropValueList& valueList() const { return m_valueList; }
    TableSettings& tableSettings() const { return m_tableSettings; }
    // The context of the layouts of this machine; its creator text is taken anew each time.
    LayoutEntity::Context context() const;
    // "<model without its first word>-<serial>" with blanks as "-": "Alvero-D-V5-12345".
    QString creator() const;

    int getActiveLayout() const;
    bool setActiveLayout(int n);
    bool getUseAdjustableLS() const;
    bool setUseAdjustableLS(bool use);

    // The numbers of the layout files in directory order, repeats and strays included.
    QList<int> getLayoutNumbers() const;
    int getNumberOfLayouts() const;
    // The first layout (directory order) whose file holds `value` for `parameter`, read from the
    // file itself so that a layout that would fail validation still counts; 0 when none does.
    int findLayoutWith(const QString& parameter, const QString& value) const;

    bool addLayout(int& n) const;
    bool deleteLayout(int n) const;
    bool writeLayout(const QVariantMap& data, int n);

    // The layout's data; with extra data also its page totals and the two table display names.
    // Empty when the number is invalid or the file cannot be read.
    QVariantMap readLayout(int n, bool withExtraData) const;
    // "layout-<n>" -> readLayout(n, withExtraData) for every listed layout that reads.
    QVariantMap readAllLayouts(bool withExtraData) const;
    void readLayoutExtraData(const LayoutEntity& entity, QVariantMap& out) const;
    QString getPaperSize() const;

    // A layout from outside the store (an upload) as it would be stored: only the parameters the
    // parameter list knows, brought up to date; empty when it is not a valid layout then.
    QVariantMap storedLayout(const QVariantMap& data) const;

    QVariantMap getPropertyValues(const QVariantMap& data, const QString& parameter, const QString& changedParameter,
        const QString& previousValue) const;
    // Reads a layout from a JSON file outside the store; a valid one is announced by
    // setLayoutFromMap, with its extra data.
    void setLayoutFromPath(const QString& path);

    // Check and repair of every layout file, at start-up and after a restore. Layout 1 is put back
    // from its factory copy when it is missing.
    void initialize();

signals:
    void layoutChange();
    void setLayoutFromMap(QVariantMap map);

private:
    // Table display names by table name, kept for one listing of many layouts.
    using DisplayNames = QHash<QString, QString>;

    void readLayoutExtraData(const LayoutEntity& entity, QVariantMap& out, DisplayNames& names) const;
    QVariantMap readLayout(int n, bool withExtraData, DisplayNames& names) const;
    // Brings one layout file up to date and validates it; false when it must be restored.
    bool checkLayout(int n, const LayoutEntity::Context& context);
    // Only the parameters the parameter list knows: a client's unknown members go no further.
    QVariantMap knownParameters(const QVariantMap& data) const;
    QString model() const;
    // The context without the creator text, for everything but migration.
    LayoutEntity::Context baseContext() const;

    const BrlDimension& m_brlDimension;
    const DocSettingList& m_docSettingList;
    const LayoutCommand& m_layoutCommand;
    const LayoutRestore& m_layoutRestore;
    ParameterList& m_parameterList;
    const PropValueList& m_valueList;
    const PaperSettings& m_paperSettings;
    TableSettings& m_tableSettings;
    SystemSettings& m_systemSettings;
};
