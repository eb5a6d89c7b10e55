#pragma once

#include "PaperEntity.h"
#include "ls/JFile.h"

#include <QObject>
#include <QString>
#include <QVariantMap>

// One user-defined paper, stored in "userpaper.<n>" of the state directory (n in 1..99). Its name
// is "User_defined_<n>"; in the paper size value list it stands for 72 + n.
class UserPaperFile : public QObject {
    Q_OBJECT

public:
    static constexpr int firstNumber = 1;
    static constexpr int lastNumber = 99;
    static constexpr int paperSizeBase = 72;

    // Members of the file.
    inline static const QString paperSizeUnitKey = QStringLiteral("Paper size unit");
    inline static const QString paperWidthKey = QStringLiteral("Paper width");
    inline static const QString paperLengthKey = QStringLiteral("Paper length");
    inline static const QString paperDescriptionKey = QStringLiteral("paperDescription");
    inline static const QString validToUseKey = QStringLiteral("validToUse");
    inline static const QString inchesWidthKey = QStringLiteral("iInchesWidth");
    inline static const QString inchesLengthKey = QStringLiteral("iInchesLen");
    inline static const QString stepLengthKey = QStringLiteral("iStepLen");
    inline static const QString stepLengthFractionKey = QStringLiteral("stepLenFraction");
    inline static const QString printingHeadOffsetKey = QStringLiteral("flPrintingHeadOffset");
    inline static const QString formatOrientationKey = QStringLiteral("iFormatOrientation");
    inline static const QString loadOrientationKey = QStringLiteral("iPaperLoadOrientation");
    inline static const QString modelsKey = QStringLiteral("iModels");
    inline static const QString feedTypeKey = QStringLiteral("iFeedType");
    // "Paper size" is `ls::paperSizeKey`.

    explicit UserPaperFile(int number, QObject* parent = nullptr);

    static bool isValidNumber(int number) { return number >= firstNumber && number <= lastNumber; }
    static const QString& namePrefix(); // "User_defined_"
    static QString paperName(int number);
    static QString fileStem(); // "userpaper"
    static QString path(int number);

    int number() const { return m_number; }
    int paperSize() const { return m_paperSize; }
    bool exists() const;

    bool read(QVariantMap& data) const;
    bool read(const QString& key, QString& value) const;
    bool write(const QVariantMap& data) const;
    bool remove() const;

    // The paper as a record of the paper list, marked as a user paper.
    PaperEntity toEntity() const;

private:
    ls::JFile m_file;
    int m_number;
    int m_paperSize;
};
