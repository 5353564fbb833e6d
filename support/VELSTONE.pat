;; Mur z bloków kamiennych 60x40 w wiązaniu wozówkowym.
*VELSTONE, Mur kamienny z bloków
0, 0,0, 0,40
90, 0,0, 40,30, 40,-40
