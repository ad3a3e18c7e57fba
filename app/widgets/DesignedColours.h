#pragma once

#include "platform/ColorValue.h"

#include <QColor>

class QWidget;

// Colours the windows were designed with (navy ink, green counters, a white paper) kept
// readable under every theme: a designed text colour moves away from a background it cannot be
// read on, and is worked out again whenever the theme changes.

// The contrast itself (`ContrastRatio`, `ReadableOn`) is worked out in platform/ColorValue, which
// the map's texts use as well.

// Sets the widget's text colour (its foreground role) to `designed`, made readable on what lies
// behind the widget now and again after every theme change.
void SetDesignedTextColour(QWidget* widget, const QColor& designed);
// The colour behind a widget's text: the nearest widget that fills its own background.
QColor BackgroundBehind(const QWidget* widget);
// Fills the widget with `designed` (the white paper of a data window) under a light theme, and
// with the theme's own window colour under a dark one, where its captions are light.
void SetDesignedBackground(QWidget* widget, const QColor& designed);
// Runs after a theme change, when the backgrounds have their new colours; with a widget, for it
// and what it holds only (after its own background changed).
void ReapplyDesignedColours();
void ReapplyDesignedColours(QWidget* root);
