#pragma once

#include <QStringList>
#include <QVariantMap>

// What the readers of a data file need of it beyond being a JSON object: at least one member of
// the kind they read (an object or an array) whose items (an object member's values, an array
// member's elements) include an object carrying `itemFields`. Members of another kind are left to
// the readers, which skip them; a file with nothing they can use is restored like an unreadable one.
struct DataShape {
    enum class Members { Any, Objects, Arrays };

    Members members = Members::Any;
    QStringList itemFields; // empty: the items are not looked at

    bool fits(const QVariantMap& content) const;

    // At least one member an object, or one an array.
    static DataShape objects() { return of(Members::Objects); }
    static DataShape arrays() { return of(Members::Arrays); }
    // The same, with an item that is an object carrying these fields.
    DataShape itemsWith(const QStringList& fields) const;

private:
    static DataShape of(Members kind);
    bool memberFits(const QVariant& member) const;
};
