// The game's new game, for the screens' tests: the screen switch only asks for one.
int g_newGames = 0;

void NewGame()
{
    ++g_newGames;
}
