#pragma once

#include "ls/IDBusAdaptor.h"

#include <QObject>
#include <QVariantMap>
#include <QVector>

#include <memory>

class BrlDimension;
class CatalogsManager;
class DocSettingList;
class Embosser;
class LayoutParameters;
class LayoutSettings;
class NetworkProperties;
class OvdSettings;
class PaperList;
class ParameterValues;
class PropValueList;
class Property;
class SystemSettings;
class TableSettings;
class TempProperties;
class WireTypes;

namespace ls {
class ICommand;
class JFile;
class PFile;
} // namespace ls

// Owner of every handler and settings object of the service. The constructor reads nothing;
// init() builds and wires everything from the event loop, and process() routes each request of
// the command protocol to the handler registered for its command id.
class ConfigurationManager : public QObject, public ls::IDBusAdaptor {
    Q_OBJECT

public:
    explicit ConfigurationManager(QObject* parent = nullptr);
    ~ConfigurationManager() override;

    QVariantMap process(const QVariantMap& request) override;

    // Builds the settings objects and handlers in their fixed order and registers the handlers.
    void init();
    // True once init() has built everything; the accessors below are null before.
    bool isBuilt() const { return m_built; }

    // Adds a handler to the end of the search order; the manager does not take ownership.
    void registerCommand(ls::ICommand* command);

    // The objects the adaptor forwards to; null until init() has run.
    BrlDimension* brlDimension() const { return m_brlDimension; }
    PaperList* paperList() const { return m_paperList; }
    SystemSettings* systemSettings() const { return m_systemSettings; }
    Embosser* embosser() const { return m_embosser; }
    Property* property() const { return m_property; }
    PropValueList* propValueList() const { return m_propValueList; }
    ParameterValues* parameterValues() const { return m_parameterValues; }
    CatalogsManager* catalogsManager() const { return m_catalogsManager.get(); }
    TableSettings* tableSettings() const { return m_tableSettings; }
    DocSettingList* docSettingList() const { return m_docSettingList; }
    LayoutSettings* layoutSettings() const { return m_layoutSettings; }
    NetworkProperties* networkProperties() const { return m_networkProperties; }
    TempProperties* tempProperties() const { return m_tempProperties; }
    LayoutParameters* layoutParameters() const { return m_layoutParameters; }
    OvdSettings* ovdSettings() const { return m_ovdSettings; }
    // The types every map leaving over D-Bus carries; null until init() has run.
    const WireTypes* wireTypes() const { return m_wireTypes; }

signals:
    void notification(QVariantMap notification);

private:
    QVector<ls::ICommand*> m_commands;
    bool m_built = false;
    BrlDimension* m_brlDimension = nullptr;
    PaperList* m_paperList = nullptr;
    SystemSettings* m_systemSettings = nullptr;
    Embosser* m_embosser = nullptr;
    Property* m_property = nullptr;
    PropValueList* m_propValueList = nullptr;
    NetworkProperties* m_networkProperties = nullptr;
    TempProperties* m_tempProperties = nullptr;
    LayoutParameters* m_layoutParameters = nullptr;
    LayoutSettings* m_layoutSettings = nullptr;
    ParameterValues* m_parameterValues = nullptr;
    OvdSettings* m_ovdSettings = nullptr;
    // Reached by direct methods that the start-up member list does not name.
    TableSettings* m_tableSettings = nullptr;
    DocSettingList* m_docSettingList = nullptr;
    WireTypes* m_wireTypes = nullptr;
    // The one object of init() without a parent; the manager still owns it, so that a restart
    // of the service builds the collections anew.
    std::unique_ptr<CatalogsManager> m_catalogsManager;
};
