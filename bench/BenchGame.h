// What the game-layer benchmarks run a game in: the bundled game's folder with a scratch user folder,
// the engine started with the game's object types, and a mediator whose stand-in screen says a game
// runs.
#pragma once

#include "bench/BenchScene.h"
#include "engine/core/nE_Listener.h"
#include "game/core/nG_Mediator.h"
#include "game/core/nG_Messages.h"
#include "game/shell/nG_GameTypes.h"
#include "pflib/TPlatform.h"

namespace bench {

class BenchGame {
public:
    BenchGame() {
        pf::TRunOptions options;
        options.userDir = scratch();
        options.gameDir = HALVERN_SOURCE_DIR;
        pf::TPlatform::SetRunOptions(options);
        startEngine();
        nG_GameTypes::registerAll();
        nE_Mediator::setCurrent(&mediator);
        mediator.subscribe(MSG_IS_GAME_RUNNING, &screen);
    }
    ~BenchGame() {
        mediator.unsubscribe(MSG_IS_GAME_RUNNING, &screen);
        nE_Mediator::setCurrent(nullptr);
    }
    BenchGame(const BenchGame&) = delete;
    BenchGame& operator=(const BenchGame&) = delete;

    nG_Mediator mediator;

private:
    struct Screen : nE_Listener {
        void onMessage(const nE_Message& message) override { *message.payload<MSG_IS_GAME_RUNNING>() = true; }
    };
    Screen screen;
};

}  // namespace bench
