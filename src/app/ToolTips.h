#pragma once
// The main dialog's tool tips, registered in this order. Four lists appear
// twice; the first text registered for a control is the one it shows.

#include "app/ControlIds.h"

namespace tryster::app {

struct ToolTip {
    int controlId;
    const char* text;
};

inline constexpr ToolTip kToolTips[] = {
    {IDC_HELP, "View the ReadMe file."},
    {IDC_CREATE, "Create a new Date."},
    {IDC_REPLACE, "Replace an existing Townie with one downloaded."},
    {IDC_RELOAD, "Rescan the game folders for skins."},
    {IDC_ABOUT, "About this program."},
    {IDC_LOAD, "Load a Plom from the game."},
    {IDC_SAVE_BACK, "Save this Plom back to the game."},
    {IDC_BODY_TEXTURE_LIST, "Select a texture for the body here."},
    {IDC_BODY_MESH_LIST, "Select a body here."},
    {IDC_HEAD_TEXTURE_LIST, "Select a texture for the head here."},
    {IDC_HEAD_MESH_LIST, "Select a head here."},
    {IDC_ZOOM_SLIDER, "Change the size of the displayed Plom."},
    {IDC_FACING_LIST, "Change Plom to face in this direction."},
    {IDC_ROTATE_LIST, "Auto rotate the Plom."},
    {IDC_BODY_MESH_LIST, "Change the body mesh."},
    {IDC_BODY_TEXTURE_LIST, "Change the Body Texture."},
    {IDC_HEAD_TEXTURE_LIST, "Change the Head Texture."},
    {IDC_SKIN_TYPE_LIST, "Change the skin color."},
    {IDC_BODY_TYPE_LIST, "Change the Body Type."},
    {IDC_HEAD_MESH_LIST, "Change the Head Mesh."},
    {IDC_BACK, "Go back a step."},
    {IDC_NEXT, "Proceed to the next step."},
    {IDC_NEAT_SLIDER, "How neat is your Plom?"},
    {IDC_NICE_SLIDER, "How nice is your Plom?"},
    {IDC_OUTGOING_SLIDER, "How outgoing is your Plom?"},
    {IDC_ACTIVE_SLIDER, "How active is your Plom?"},
    {IDC_PLAYFUL_SLIDER, "How playful is your Plom?"},
    {IDC_TOP_INTERESTS, "Choose the Plom's 5 Top Interests."},
};

}  // namespace tryster::app
