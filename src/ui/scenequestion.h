#pragma once

#include <QString>

class QRect;
class QWidget;

// The question asked before a scene is stored: the same words, icon and buttons wherever
// the operator asked to store it, No the default.
namespace SceneQuestion {

// The question asked before scene n is stored, and its title; the same words in every
// language.
QString prompt(int sceneNumber);
QString title();

// True for Yes. keepClear: where a quick second click on Yes must not land (the scene
// keys); the question stands beside it. Empty: centred over the window.
bool askToStore(QWidget *window, int sceneNumber, const QRect &keepClear);

} // namespace SceneQuestion
