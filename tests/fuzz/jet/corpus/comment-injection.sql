SELECT x FROM tabope -- a
/*
UNION SELECT name FROM sqlite_master --*/