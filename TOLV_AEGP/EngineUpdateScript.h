// The script that asks every renderer effect of the active composition to update: it sets
// parameter 43 of each "ZEK TOLV_Engine" on every layer, last layer first. The tabs are part of
// the text the host receives.
#pragma once

constexpr char kEngineUpdateScript[] =
    "myComp = app.project.activeItem;\t\t\t\t\t"
    "for (l = myComp.numLayers; l > 0; l--) {\t\t\t\t\t"
    "myLayer = myComp.layer(l);\t\t\t\t\t"
    "if (myLayer.Effects) {\t\t\t\t\t"
    "for (f = 1; f <= myLayer.Effects.numProperties; f++) {\t\t\t\t\t"
    "myFX = myLayer.Effects(f);\t\t\t\t\t"
    "if (myFX.matchName == 'ZEK TOLV_Engine') {myFX.property(43).setValue(1);}}}\t\t\t\t\t"
    "}";
