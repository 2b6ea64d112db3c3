// SPDX-FileCopyrightText: 2026 The tcpad developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Qt's INI reader decodes a value written as "@Variant(...)" or "@DateTime(...)" from its binary
// stream form as it parses the file. Such a value names any type Qt knows and carries counts
// the reader trusts: a damaged one can make Qt reserve gigabytes for a list, or spend minutes
// building a region from billions of rectangles, while the panel waits. tcpad itself writes
// only texts and booleans, which Qt never writes in that form, so the store takes every such
// value out of the file's text before Qt reads it.
#pragma once

#include <QByteArray>
#include <QByteArrayView>

namespace store {

/// The settings file's text with the value of every entry that Qt would decode from its binary
/// form replaced by "@Invalid()", which Qt reads as no value at all; every other byte is kept.
/// Lines, quotes, escapes and lists are read as Qt's INI reader reads them, so that the replaced
/// values are exactly those Qt would decode, and perhaps a few garbled ones beside them.
QByteArray withoutBinaryValues(QByteArrayView iniText);

} // namespace store
