#pragma once

#include <QString>

// Keys of request, result and notification maps. A key's text is its symbol without the `Key`
// suffix, except where the key doubles as a name in a data file, a catalog, a configuration file
// or an enumeration: there it is that name, so the map and the file agree.
namespace ls {
// Envelope of every request, result and notification
inline const QString commandIdKey = QStringLiteral("commandId");
inline const QString subCommandIdKey = QStringLiteral("subCommandId");
inline const QString senderIdKey = QStringLiteral("senderId");
inline const QString resultIdKey = QStringLiteral("resultId");
inline const QString errorIdKey = QStringLiteral("errorId");
inline const QString notificationIdKey = QStringLiteral("notificationId");
inline const QString actionIdKey = QStringLiteral("actionId");

// Arguments shared by several handlers: an on/off switch and an embosser model name
inline const QString enabledKey = QStringLiteral("enabled");
inline const QString modelKey = QStringLiteral("model");

// Layout command: layouts, their numbers and their data
inline const QString layoutNrKey = QStringLiteral("layoutNr");
inline const QString activeLayoutKey = QStringLiteral("activeLayout");
inline const QString nrOfLayoutsKey = QStringLiteral("nrOfLayouts");
inline const QString layoutDataKey = QStringLiteral("layoutData");
inline const QString layoutListKey = QStringLiteral("layoutList"); // layout numbers of a backup or restore
// Prefix of the member keys of a map of layouts: "layout-3" holds layout 3.
inline const QString layoutDashKey = QStringLiteral("layout-");
// The layout parameter of the paper size: its name in layout files and the "layout" catalog.
inline const QString paperSizeKey = QStringLiteral("Paper size");

// Layout command: valid values of a layout parameter after a change
inline const QString propertyNameKey = QStringLiteral("propertyName");
inline const QString previousPropertyKey = QStringLiteral("previousProperty");
inline const QString previousValueKey = QStringLiteral("previousValue");
inline const QString propertyValuesKey = QStringLiteral("propertyValues");
inline const QString minValueKey = QStringLiteral("minValue");
inline const QString maxValueKey = QStringLiteral("maxValue");
inline const QString precisionKey = QStringLiteral("precision");

// Layout command: parameter metadata, value lists and document settings
inline const QString parameterListKey = QStringLiteral("parameterList");
inline const QString valueListKey = QStringLiteral("valueList");
inline const QString docSettingListKey = QStringLiteral("docSettingList");
// Field of a value list entry ("valueList.json") naming its validation command.
inline const QString eValidateCommandKey = QStringLiteral("eValidateCommand");

// Layout backup and restore
inline const QString locationKey = QStringLiteral("location");
inline const QString sourceKey = QStringLiteral("source");
inline const QString backupFoldersKey = QStringLiteral("backupFolders");

// Braille cell dots: the two descriptions of the "Braille cell dots" value list
inline const QString sixDotKey = QStringLiteral("6 dots");
inline const QString eightDotKey = QStringLiteral("8 dots");

// User papers and the paper command
inline const QString paperNrKey = QStringLiteral("paperNr");
inline const QString nrOfPapersKey = QStringLiteral("nrOfPapers");
inline const QString userPaperDataKey = QStringLiteral("userPaperData");
inline const QString userPaperValuesKey = QStringLiteral("userPaperValues");
inline const QString paperListKey = QStringLiteral("paperList");
inline const QString paperRegionsListKey = QStringLiteral("paperRegionsList");
inline const QString descriptionKey = QStringLiteral("description");
inline const QString formatOrientationKey = QStringLiteral("formatOrientation");
inline const QString sizeUnitKey = QStringLiteral("sizeUnit");
// Values of sizeUnitKey: the key names of the `SizeUnit` enumeration, which converts them back.
inline const QString milimetersKey = QStringLiteral("Milimeters");
inline const QString inchesKey = QStringLiteral("Inches");

// Paper records ("paperList.json") and model limits ("embosserList.json"): field names of the files
inline const QString widthKey = QStringLiteral("width");
inline const QString heightKey = QStringLiteral("height");
inline const QString inchesWidthKey = QStringLiteral("inchesWidth");
inline const QString inchesHeightKey = QStringLiteral("inchesHeight");
inline const QString eFeedTypeKey = QStringLiteral("eFeedType");
inline const QString eHeadTypeKey = QStringLiteral("eHeadType");
inline const QString minPaperWidthKey = QStringLiteral("minPaperWidth");
inline const QString maxPaperWidthKey = QStringLiteral("maxPaperWidth");
inline const QString minPaperHeightKey = QStringLiteral("minPaperHeight");
inline const QString maxPaperHeightKey = QStringLiteral("maxPaperHeight");
inline const QString manufacturerKey = QStringLiteral("manufacturer");

// Braille tables: requests and results
inline const QString tableKey = QStringLiteral("table");
inline const QString languageKey = QStringLiteral("language");
inline const QString userTablesKey = QStringLiteral("userTables");
inline const QString liblouisTablesKey = QStringLiteral("liblouisTables");
inline const QString tableNameKey = QStringLiteral("tableName");
inline const QString tableDisplayNameKey = QStringLiteral("tableDisplayName");
// Braille table metadata files: the path entry of a legacy table, and the "not specified" value.
inline const QString tableFileKey = QStringLiteral("table-file:");
inline const QString notSpecifiedKey = QStringLiteral("not specified");

// Print command: direct-print settings, file types and label templates
inline const QString sizeKey = QStringLiteral("size");
inline const QString filtersKey = QStringLiteral("filters");
inline const QString convertExtensionsKey = QStringLiteral("convertExtensions");
inline const QString rawExtensionsKey = QStringLiteral("rawExtensions");
inline const QString fileNameKey = QStringLiteral("fileName");
inline const QString templateKey = QStringLiteral("template");
inline const QString labelDataKey = QStringLiteral("labelData");
inline const QString extensionKey = QStringLiteral("extension");

// Escape sequences: the sequence type of a received map (an ls::EscapeTypes id)
inline const QString escSequenceType = QStringLiteral("escSequenceType");

// Network: the "network" catalog's parameter names, and the address modes of the network service
inline const QString netmaskKey = QStringLiteral("Netmask");
inline const QString gatewayKey = QStringLiteral("Gateway");
inline const QString inetStaticKey = QStringLiteral("inetStatic");
inline const QString manualKey = QStringLiteral("manual");
inline const QString dhcpKey = QStringLiteral("dhcp");

// SSL: the web server's configuration key of the active certificate (also the request key of a
// certificate name), and where the certificates live. The certificate directory is the path on
// the embosser, to be placed under the file-system root like every other location.
inline const QString certificateKey = QStringLiteral("ssl.pemfile");
inline const QString activeCertificateKey = QStringLiteral("activeCertificate");
inline const QString certificateListKey = QStringLiteral("certificateList");
inline const QString certificatesPath = QStringLiteral("/etc/lighttpd/certificates");
inline const QString defaultCertificate = QStringLiteral("default");
inline const QString lighttpdPemName = QStringLiteral("lighttpd.pem");

// System options
inline const QString dateTimeKey = QStringLiteral("dateTime");
inline const QString timeZoneKey = QStringLiteral("timeZone");
inline const QString restartKey = QStringLiteral("restart");

// Machine settings and system information: firmware date, logs, packages
inline const QString firmwareKey = QStringLiteral("firmware");
inline const QString systemLogsKey = QStringLiteral("systemLogs");
inline const QString serviceLogsKey = QStringLiteral("serviceLogs");
inline const QString serviceNameKey = QStringLiteral("serviceName");
inline const QString errorLogsKey = QStringLiteral("errorLogs");
inline const QString packageListKey = QStringLiteral("packageList");
inline const QString textKey = QStringLiteral("text");

// Documents: the manuals of the installed model
inline const QString manualsKey = QStringLiteral("manuals");
inline const QString manualsRootPathKey = QStringLiteral("manualsRootPath");

// Peer services: the state handler's state and the error handler's answer
inline const QString stateIdKey = QStringLiteral("stateId");
inline const QString errorReturnCodeKey = QStringLiteral("errorReturnCode");
} // namespace ls
