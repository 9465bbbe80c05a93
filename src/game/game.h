// The whole state of a running program (Game) and of one match (Battle).
#pragma once

#include <map>
#include <string>
#include <vector>

#include "game/choices.h"

class AI;
class AssetPic;
class Card;
class Character;
class Game;
class Policy;
class Presenter;

// Interaction state of the player's turn, stored in Game::status.
enum status {
    DISABLE = 0,
    FREE = 1,
    CHANGECARD = 2,
    USECARD = 3,
    ATKCARD = 4,
    SETTARGET = 5,
};

// One match: hands, decks, the twenty board slots, target marks, turn and mana.
class Battle {
public:
    std::vector<Card*> myCard;
    std::vector<Card*> myDeck;
    std::vector<Card*> opCard;
    std::vector<Card*> opDeck;
    Character* c[20];
    bool canAsTarget[20];
    int turn;
    bool nowTurn;
    int mySp;
    int opSp;
    int mySpMax;
    int opSpMax;

    Battle();
    ~Battle();
    // Shallow: both battles then point to the same cards and characters.
    Battle& operator=(const Battle& other);
    Battle& operator=(Battle&& other);

    void drawCard(Game* game, bool camp);
    void refresh(Game* game);
    void printBattle(Game* game, bool canFlush);
    void useCard(Game* game, int cpos, int pos, bool camp);
    void getCard(Game* game, Card* newc, bool camp, int fromPos);
    // Side camp's hand and deck (camp true: the opponent's).
    std::vector<Card*>& hand(bool camp) { return camp ? opCard : myCard; }
    const std::vector<Card*>& hand(bool camp) const { return camp ? opCard : myCard; }
    std::vector<Card*>& deck(bool camp) { return camp ? opDeck : myDeck; }
    // Clears all twenty target marks: every marking starts from none.
    void clearTargets() {
        for (bool& mark : canAsTarget) mark = false;
    }
};

// The one object that lives for the whole run.
class Game {
public:
    double rate;
    std::string font;
    Battle battle;
    AI* ai;
    int status;
    int cardChosen;
    int atkFrom;
    int atkTo;
    bool gameEnd;
    std::map<std::string, AssetPic*> pmap;
    // Who shows this match and plays the player's part: the game window's presenter unless a
    // simulation gives its own.
    Presenter* presenter;
    // Who decides for the opponent: null for its AI's own rules.
    Policy* opponent;
    // A pick decided with the action that causes it (a battle cry's target); -1 for none.
    int plannedPick;
    // The language of the window's words, chosen before the game.
    Language language;

    Game();
    ~Game();
    Game& operator=(const Game& other);
    Game(const Game& other) = delete;

    void loadAssets();
    void printPic(std::string id, int x, int y, int fmt);
    void anime_move(std::string pid, int fx, int fy, int tx, int ty, int tm, int frame, int fmt);
    bool isSpell(int id);
    void win();
    void lose();
};
