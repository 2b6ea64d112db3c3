// SPDX-FileCopyrightText: 2026 The tcpad developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/pasteread.h"

#include <algorithm>

namespace app {

bool PasteRead::append(QByteArrayView more)
{
    bytes.append(more.first(std::min(more.size(), room())));
    return room() > 0;
}

} // namespace app
