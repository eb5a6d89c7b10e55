#pragma once

#include <QObject>
#include <QSettings>

// The direct-print settings the print service applies to a document it prints straight away:
// keep the document's formatting, keep its capitalization, and the tab size. They live in the
// QSettings store "ovdSettings" (native format, system scope, under the file-system root), which
// the print service reads too. At construction a value that is missing, does not read as its type
// or (the tab size) lies outside minTabSize..maxTabSize is replaced by its default, so the getters
// always answer a stored value. Setters write through at once and say whether the store took it.
class OvdSettings : public QObject {
    Q_OBJECT

public:
    // The range of the layouts' own tab size.
    static constexpr int minTabSize = 0;
    static constexpr int maxTabSize = 20;

    explicit OvdSettings(QObject* parent = nullptr);

    bool getKeepFormat() const;
    bool setKeepFormat(bool keepFormat);
    bool getKeepCapitalization() const;
    bool setKeepCapitalization(bool keepCapitalization);
    int getTabSize() const;
    // Refuses a size outside minTabSize..maxTabSize.
    bool setTabSize(int tabSize);

    static bool isTabSize(int tabSize) { return tabSize >= minTabSize && tabSize <= maxTabSize; }

private:
    bool store(const QString& key, const QVariant& value);

    QSettings m_settings;
};
