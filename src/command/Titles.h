#pragma once

#include <QString>

namespace culvex {

// The window caption and the settings section.
inline QString productTitle() { return QStringLiteral("Culvex"); }
// The caption of every message box that has no caption of its own.
inline QString shortTitle() { return QStringLiteral("Culvexa"); }

// The application's title derived from a product title: cut at the last space, at least
// once and until at most 40 characters remain. A title without a space gives shortTitle().
QString shortTitleOf(const QString& productTitle);

// Where users are asked to send error reports, and the support page Help names.
inline QString supportEmail() { return QStringLiteral("support@quillbrook.example"); }
inline QString supportPage() { return QStringLiteral("https://quillbrook.example/support"); }

}  // namespace culvex
