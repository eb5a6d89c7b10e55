#pragma once

#include <QTest>

// Adds one row of test data, the values in the order of the columns. The values must have the
// exact column types (a QByteArray column takes a QByteArray); a text may be given as a literal.
template <typename... Values> void row(const char* name, Values... values)
{
    (QTest::newRow(name) << ... << values);
}
