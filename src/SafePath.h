#pragma once

#include <QString>

// The two checks every path built from a request's text passes: the text is one plain path
// component, and the path, once symbolic links are resolved, lies below the directory the
// operation owns. Both are needed: a plain name can still be a link that points elsewhere.
class SafePath {
public:
    // The longest file name the embosser's file systems take.
    static constexpr int maxNameLength = 255;

    // 1 to maxNameLength characters, and no "/", "..", or NUL.
    static bool isPlainName(const QString& name);
    // Whether `path` (which need not exist yet) lies below `directory` after resolving links.
    static bool isInside(const QString& directory, const QString& path);
    // "<directory>/<name>" when the name is plain and the result lies inside; empty otherwise.
    static QString child(const QString& directory, const QString& name);
};
